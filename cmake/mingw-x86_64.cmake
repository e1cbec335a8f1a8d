# Cross-build for 64-bit Windows with Debian's mingw-w64: the same sources as the 32-bit
# program, built where this machine's kernel runs no 32-bit code, so that the Windows
# end-to-end tests still run (under 64-bit Wine). The program that ships stays 32-bit.
set(TESSARINE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
