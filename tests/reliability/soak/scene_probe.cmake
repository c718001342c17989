# Link options that route the program's scene draws and model render through
# scene_probe.cpp (GNU ld, gold and lld all know --wrap).
set(SG_SCENE_PROBE_SYMBOLS
  _Z10DrawScene1v _Z10DrawScene2v _Z10DrawScene3v _Z10DrawScene4v _Z10DrawScene5v
  _ZN9Model_3DS6RenderEv)
function(sg_scene_probe target)
  foreach(symbol ${SG_SCENE_PROBE_SYMBOLS})
    target_link_options(${target} PRIVATE "LINKER:--wrap=${symbol}")
  endforeach()
endfunction()
