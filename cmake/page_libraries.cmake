# The players' page's two libraries, under one name each on every platform, so that the
# portable code includes the same <httplib.h> and <qrencode.h> everywhere:
#   tessarine_httplib   cpp-httplib 0.11.4, the HTTP server;
#   tessarine_qrencode  libqrencode 4.1.1, the QR code of the page's address.
# On Linux they are Debian's packages, found by pkg-config. Debian has no Windows build of
# either, so the Windows builds take Debian's own sources of them, which scripts/windows.sh
# (fetch_windows_page_sources) unpacks into TESSARINE_THIRD_PARTY: httplib.h whole (header
# only, over Winsock) and qrencode's C files, built here as a static library.
# TESSARINE_PAGE says whether both were found. Linux requires them (scripts/packages.sh
# installs them); a Windows build whose sources could not be fetched is made without the
# page (bingo/page_absent.cpp), and says so.
if(WIN32)
  set(TESSARINE_THIRD_PARTY "${CMAKE_SOURCE_DIR}/build/third_party" CACHE PATH
    "Where scripts/windows.sh unpacks the Debian sources of cpp-httplib and qrencode")
  set(httplib_dir "${TESSARINE_THIRD_PARTY}/cpp-httplib")
  set(qrencode_dir "${TESSARINE_THIRD_PARTY}/qrencode")
  if(EXISTS "${httplib_dir}/httplib.h" AND EXISTS "${qrencode_dir}/qrencode.h")
    set(TESSARINE_PAGE ON)
  else()
    set(TESSARINE_PAGE OFF)
    message(WARNING "Sin las fuentes de cpp-httplib y qrencode en ${TESSARINE_THIRD_PARTY} "
      "(las descarga scripts/windows.sh, fetch_windows_page_sources): el programa de Windows "
      "se hace sin la página para móviles.")
  endif()
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  pkg_check_modules(QRENCODE REQUIRED IMPORTED_TARGET libqrencode)
  set(TESSARINE_PAGE ON)
endif()

if(TESSARINE_PAGE AND WIN32)
  # Header only. 0.11.4 calls inet_pton and inet_ntop, which Winsock has from Windows Vista
  # on, and nothing newer. Its constants stay at the defaults Debian's Linux library is
  # built with, but one: it matches a Range header with std::regex, whose matcher recurses
  # once a character, and a Range of 7,000 digits (8,192 are allowed) overflows the 2 MB
  # stack of a Windows thread, where Linux gives its threads 8 MB. Header lines of at most
  # 2,048 bytes (a phone's are a few hundred) keep that under a third of the stack.
  add_library(tessarine_httplib INTERFACE)
  target_include_directories(tessarine_httplib SYSTEM INTERFACE "${httplib_dir}")
  target_compile_definitions(tessarine_httplib INTERFACE _WIN32_WINNT=0x0600 WIN32_LEAN_AND_MEAN
    CPPHTTPLIB_HEADER_MAX_LENGTH=2048)
  target_link_libraries(tessarine_httplib INTERFACE ws2_32)

  # qrencode's library (not its command-line tool), with the version its configure script
  # would have written into config.h, and its one lock (the Reed-Solomon tables made on
  # first use) from winpthreads, which the posix-thread mingw links statically anyway.
  enable_language(C)
  add_library(tessarine_qrencode STATIC
    ${qrencode_dir}/qrencode.c ${qrencode_dir}/qrinput.c ${qrencode_dir}/bitstream.c
    ${qrencode_dir}/qrspec.c ${qrencode_dir}/rsecc.c ${qrencode_dir}/split.c
    ${qrencode_dir}/mask.c ${qrencode_dir}/mqrspec.c ${qrencode_dir}/mmask.c)
  target_compile_definitions(tessarine_qrencode PRIVATE MAJOR_VERSION=4 MINOR_VERSION=1
    MICRO_VERSION=1 VERSION="4.1.1" STATIC_IN_RELEASE=static HAVE_LIBPTHREAD=1 HAVE_STRDUP=1)
  # Someone else's code: our warning flags are for ours.
  set_property(TARGET tessarine_qrencode PROPERTY COMPILE_OPTIONS -w)
  # Only the public header is put in the include path, so that qrencode's own split.h,
  # mask.h and the like shadow nothing of ours.
  configure_file("${qrencode_dir}/qrencode.h" "${CMAKE_BINARY_DIR}/qrencode_include/qrencode.h"
    COPYONLY)
  target_include_directories(tessarine_qrencode SYSTEM INTERFACE
    "${CMAKE_BINARY_DIR}/qrencode_include")
  target_link_libraries(tessarine_qrencode PRIVATE pthread)
elseif(TESSARINE_PAGE)
  add_library(tessarine_httplib INTERFACE)
  target_link_libraries(tessarine_httplib INTERFACE PkgConfig::HTTPLIB)
  add_library(tessarine_qrencode INTERFACE)
  target_link_libraries(tessarine_qrencode INTERFACE PkgConfig::QRENCODE)
endif()
