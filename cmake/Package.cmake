# The Debian package, made by CPack from the install rules (cpack --preset deb
# after building the release preset): the player, the capture tool, the
# content, a desktop entry and an icon drawn from one of the show's pictures.
set(STORMGLASS_ICON_BITMAP ${CMAKE_BINARY_DIR}/content/bitmap_180.bmp)
set(STORMGLASS_ICON ${CMAKE_BINARY_DIR}/package/stormglass.png)

# ffmpeg, which the capture tool needs anyway, turns the picture into the PNG icon.
find_program(STORMGLASS_FFMPEG_PROGRAM ffmpeg)
if(STORMGLASS_FFMPEG_PROGRAM)
  add_custom_command(OUTPUT ${STORMGLASS_ICON}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/package
    COMMAND ${STORMGLASS_FFMPEG_PROGRAM} -loglevel error -y -i ${STORMGLASS_ICON_BITMAP}
            -vf scale=256:256:flags=area -frames:v 1 ${STORMGLASS_ICON}
    DEPENDS ${CMAKE_BINARY_DIR}/content/bitmaps.stamp sg_content_bitmaps
    COMMENT "Drawing the icon from bitmap 180")
  add_custom_target(sg_icon ALL DEPENDS ${STORMGLASS_ICON})
  install(FILES ${STORMGLASS_ICON} DESTINATION share/icons/hicolor/256x256/apps)
else()
  message(STATUS "ffmpeg not found: the package will have no icon")
endif()
install(FILES ${CMAKE_SOURCE_DIR}/cmake/package/stormglass.desktop DESTINATION share/applications)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME stormglass)
set(CPACK_PACKAGE_VENDOR "Stormglass developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo, with an offline capture tool")
set(CPACK_PACKAGE_DESCRIPTION "Stormglass plays a fixed 74-second show of OpenGL scenes laid on its own
soundtrack. stormglass-capture renders the show offline, frame-exact, to a video.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Stormglass developers <stormglass@example.org>")
# Libraries from the executables' imports; ffmpeg runs as a program.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The setup dialog draws its text in DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, libgl1-mesa-dri, libegl-mesa0, fonts-dejavu-core")
include(CPack)
