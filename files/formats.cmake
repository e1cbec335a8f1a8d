# The list of a run's cards, which tessarine-cards writes beside the card files (PNG cards
# are in formats/). Included from the top-level CMakeLists.txt.
set(TESSARINE_FORMATS_DIR ${CMAKE_CURRENT_LIST_DIR})

add_library(tessarine_card_list STATIC
  ${TESSARINE_FORMATS_DIR}/card_list.cpp
  ${TESSARINE_FORMATS_DIR}/read_file_${TESSARINE_PLATFORM}.cpp
  ${TESSARINE_FORMATS_DIR}/read_file_saying.cpp
)
target_link_libraries(tessarine_card_list PUBLIC tessarine_files tessarine_card)

