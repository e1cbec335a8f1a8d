# What the Windows cross-builds share, for the triple the including file sets: Debian's
# mingw-w64 with the posix thread model (so std::thread and std::mutex work), everything
# linked statically, so the executables need no DLL beside them beyond those Windows has.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${TESSARINE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARINE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARINE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TESSARINE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc -static-libstdc++")
# zlib (Debian's libz-mingw-w64-dev) as its static archive, not its import library.
set(ZLIB_USE_STATIC_LIBS ON)
