# The web build's link and its dist folder: the page, the program's .js and
# .wasm, the three data files preloaded into the page's file system, and the
# bitmaps' rows gzipped (the browser unpacks them into the resource table).
#
# ASYNCIFY lets SwapBuffers, the dialog and the decoder wait on the browser
# inside the program's own loops; no threads, so no special server headers.
target_link_options(stormglass PRIVATE
  -sASYNCIFY
  -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=134217728
  -sMIN_WEBGL_VERSION=2
  -sMAX_WEBGL_VERSION=2
  -sENVIRONMENT=web
  -sEXPORTED_FUNCTIONS=_main,_malloc,_free
  -sEXPORTED_RUNTIME_METHODS=UTF8ToString,stringToUTF8
  "SHELL:--preload-file ${CMAKE_BINARY_DIR}/datas/Brassvale.mp3@datas/Brassvale.mp3"
  "SHELL:--preload-file ${CMAKE_BINARY_DIR}/datas/s.pak@datas/s.pak"
  "SHELL:--preload-file ${CMAKE_BINARY_DIR}/datas/qor_fist.3ds@datas/qor_fist.3ds")
set_target_properties(stormglass PROPERTIES SUFFIX ".js")

set(web_dist ${CMAKE_BINARY_DIR}/dist)
set(bitmap_blob ${CMAKE_BINARY_DIR}/resources/embedded_bitmaps.bin)
add_custom_command(
  OUTPUT ${web_dist}/bitmaps.bin.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${web_dist}
  COMMAND gzip -9 -n -c ${bitmap_blob} > ${web_dist}/bitmaps.bin.gz
  DEPENDS ${bitmap_blob}
  COMMENT "Compressing the bitmaps for the page"
  VERBATIM)
add_custom_target(sg_web_dist ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/platform/web/shell/index.html
    $<TARGET_FILE_DIR:stormglass>/stormglass.js $<TARGET_FILE_DIR:stormglass>/stormglass.wasm
    $<TARGET_FILE_DIR:stormglass>/stormglass.data ${web_dist}/
  DEPENDS stormglass ${web_dist}/bitmaps.bin.gz ${CMAKE_SOURCE_DIR}/platform/web/shell/index.html
  COMMENT "Gathering build/web/dist"
  VERBATIM)
