# The file formats tessarine-cards writes beside the bitmap files: the list of a run's
# cards, and PNG cards through libpng (a stand-in that makes none on Windows, where
# Debian's mingw packages have no libpng). Included from the top-level CMakeLists.txt.
set(TESSARINE_FORMATS_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(tessarine_card_list STATIC
  ${TESSARINE_FORMATS_DIR}/card_list.cpp
  ${TESSARINE_FORMATS_DIR}/read_file_${TESSARINE_PLATFORM}.cpp
  ${TESSARINE_FORMATS_DIR}/read_file_saying.cpp
)
target_link_libraries(tessarine_card_list PUBLIC tessarine_files tessarine_card)

if(WIN32)
  add_library(tessarine_png STATIC ${TESSARINE_FORMATS_DIR}/png_encoder_none.cpp)
else()
  find_package(PNG REQUIRED)
  find_package(ZLIB REQUIRED)
  add_library(tessarine_png STATIC ${TESSARINE_FORMATS_DIR}/png_encoder_libpng.cpp
    ${TESSARINE_FORMATS_DIR}/png_deflate.cpp)
  target_link_libraries(tessarine_png PRIVATE PNG::PNG ZLIB::ZLIB)
  # Every card of a PNG batch has its rows converted and deflated here.
  target_compile_options(tessarine_png PRIVATE $<$<NOT:$<CONFIG:Debug>>:-O3>)
endif()
target_link_libraries(tessarine_png PUBLIC tessarine_draw)
