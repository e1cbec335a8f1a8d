# Writes one CTest case per function of a QtTest program (its own "-functions" list).
# Run after each build with PROGRAM, PREFIX and OUTPUT set.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PROGRAM} -functions
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} -functions failed: ${status}")
endif()
string(REGEX MATCHALL "[A-Za-z_0-9]+\\(\\)" functions "${listing}")
set(content "")
foreach(entry ${functions})
  string(REPLACE "()" "" function "${entry}")
  set(test "${PREFIX}.${function}")
  string(APPEND content
    "add_test(\"${test}\" \"${PROGRAM}\" \"${function}\")\n"
    "set_tests_properties(\"${test}\" PROPERTIES\n"
    "  ENVIRONMENT \"QT_QPA_PLATFORM=offscreen\"\n"
    "  RESOURCE_LOCK tessarine_e2e_qt_folder TIMEOUT 300 LABELS e2e)\n")
endforeach()
file(WRITE ${OUTPUT} "${content}")
