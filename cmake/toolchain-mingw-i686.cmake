# Cross-compiles for 32-bit Windows, the build Winamp loads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(VEVIRUR_OBJDUMP i686-w64-mingw32-objdump)
# Double arithmetic on SSE2, as on x86_64, so both builds compute the same pictures (the x87
# unit would round to extended precision). The player, built by another compiler, calls us
# with only 4-byte stack alignment, so every function assumes that and realigns where it keeps
# SSE values on the stack.
set(VEVIRUR_I686_FLAGS "-msse2 -mfpmath=sse -mincoming-stack-boundary=2")
set(CMAKE_C_FLAGS_INIT "${VEVIRUR_I686_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${VEVIRUR_I686_FLAGS}")
