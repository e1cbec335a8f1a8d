# Installing and packaging Tessarine: the install rules of each platform, then CPack,
# which makes the Debian package on Linux (cpack -G DEB) and the zip on Windows
# (cpack -G ZIP) from them.
include(GNUInstallDirs)

set(TESSARINE_PACKAGING_SOURCE ${CMAKE_CURRENT_LIST_DIR})
set(TESSARINE_PACKAGING_OUTPUT ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${TESSARINE_PACKAGING_OUTPUT})

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/install_win32.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/install_linux.cmake)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/cpack.cmake)
