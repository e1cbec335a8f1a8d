# Windows install rules: one folder with the three executables (statically linked, so nothing
# else is needed beside them) and a short Spanish README, written as UTF-8 with a byte
# order mark and CRLF line ends so that Notepad shows its accents and lines.
install(TARGETS tessarine-cards RUNTIME DESTINATION .)
if(TARGET tessarine)
  install(TARGETS tessarine RUNTIME DESTINATION .)
endif()
if(TARGET tessarine-bingo)
  install(TARGETS tessarine-bingo RUNTIME DESTINATION .)
endif()

set(readme_source ${TESSARINE_PACKAGING_SOURCE}/README-win32.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${readme_source})
file(READ ${readme_source} readme)
string(CONFIGURE "${readme}" readme @ONLY)
string(REPLACE "\n" "\r\n" readme "${readme}")
string(ASCII 239 187 191 utf8_byte_order_mark)
file(WRITE ${TESSARINE_PACKAGING_OUTPUT}/README.txt "${utf8_byte_order_mark}${readme}")
install(FILES ${TESSARINE_PACKAGING_OUTPUT}/README.txt DESTINATION .)

# tessarine-bingo.exe carries the page's two libraries linked in: their licences beside it.
if(TARGET tessarine-bingo AND TESSARINE_PAGE)
  set(licences_source ${TESSARINE_PACKAGING_SOURCE}/LICENCIAS-win32.txt)
  file(READ ${licences_source} licences)
  string(CONFIGURE "${licences}" licences @ONLY)
  foreach(part "cpp-httplib/LICENSE" "qrencode/COPYING")
    file(READ ${TESSARINE_THIRD_PARTY}/${part} text)
    string(APPEND licences "\n---- ${part} ----\n\n${text}")
  endforeach()
  string(REPLACE "\r\n" "\n" licences "${licences}")
  string(REPLACE "\n" "\r\n" licences "${licences}")
  file(WRITE ${TESSARINE_PACKAGING_OUTPUT}/LICENCIAS.txt "${utf8_byte_order_mark}${licences}")
  install(FILES ${TESSARINE_PACKAGING_OUTPUT}/LICENCIAS.txt DESTINATION .)
endif()
