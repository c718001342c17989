# cmake --install lays out PREFIX/bin (launchers that find the data),
# PREFIX/libexec/stormglass (the programs) and PREFIX/share/stormglass/datas.
set(STORMGLASS_PROGRAM_DIR libexec/stormglass)
set(STORMGLASS_DATA_DIR share/stormglass)

install(TARGETS stormglass stormglass-capture RUNTIME DESTINATION ${STORMGLASS_PROGRAM_DIR})
install(DIRECTORY ${CMAKE_BINARY_DIR}/datas/ DESTINATION ${STORMGLASS_DATA_DIR}/datas)
foreach(launcher stormglass stormglass-capture)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/launchers/${launcher}.in ${CMAKE_BINARY_DIR}/launchers/${launcher} @ONLY)
  install(PROGRAMS ${CMAKE_BINARY_DIR}/launchers/${launcher} DESTINATION bin)
endforeach()
