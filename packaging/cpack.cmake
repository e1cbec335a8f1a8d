# CPack settings. On Linux: tessarine_<version>_<arch>.deb, its library dependencies
# found by dpkg-shlibdeps, files and folders with Debian's permissions. On Windows:
# tessarine-<version>-win32.zip with one folder of that name inside.
set(CPACK_PACKAGE_NAME tessarine)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tessarine)
set(CPACK_PACKAGE_CONTACT "Tessarine <tessarine@example.org>")
set(CPACK_PACKAGE_HOMEPAGE_URL https://tessarine.example.org)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bingo cards as pictures")
set(CPACK_PACKAGE_DESCRIPTION [[
Tessarine makes bingo cards: three rows of nine cells, five numbers in every
row, fifteen different numbers from 1 to 99. A window shows each card and
saves it as a 24-bit BMP picture, one at a time or in batches of up to 30000
different cards; tessarine-cards makes the same files from the command line.
Tessarine Bingo (tessarine-bingo) calls a game with those cards in a hall: the
board full screen, the balls drawn or marked, prizes, claims and a voice.

The program speaks Spanish.]])
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${CPACK_PACKAGE_VERSION}-win32)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
  set(CPACK_DEBIAN_PACKAGE_SECTION misc)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  if(TARGET tessarine)
    # Qt's platform plugins (the X11 and Wayland ones) are loaded at run time, so
    # dpkg-shlibdeps cannot see them; without them the window cannot open.
    set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
  endif()
  # The faces with Tahoma's metrics that the cards' numbers are drawn with; without them
  # fontconfig's nearest face is used.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-wine)
  if(TARGET tessarine-bingo)
    # The bingo window's voice: Qt's speech-dispatcher engine (loaded at run time), the
    # service, and espeak-ng's Spanish. Without them the window works, silent, and says why.
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
      "fonts-wine, qt6-speech-speechd-plugin, speech-dispatcher, espeak-ng")
  endif()
endif()
include(CPack)
