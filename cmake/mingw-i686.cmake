# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (i686).
# The posix thread model gives std::thread and std::mutex (the audio mixer
# uses them); everything, winpthread included, is linked statically so the
# executable imports only the system's own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(SG_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${SG_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SG_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SG_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SG_MINGW_TRIPLE})
# Libraries and headers from the target's sysroot; programs (lame) from the host.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# SSE2 arithmetic: floats are rounded to single precision after every
# operation, as on x86-64, instead of carrying x87's 80-bit excess precision
# into comparisons with the show's time bounds.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The shipped executable carries no symbol tables.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
