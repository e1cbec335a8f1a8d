# Writes one CTest case per function of a QtTest program (its own "-functions" list), for
# each display it runs on: "offscreen" (Qt's offscreen platform), "xvfb" (an X display
# without a window manager), "openbox" (an X display with openbox) or "twoscreens" (an X
# display of two screens, 1280 x 800 and 1920 x 1080, without a window manager), the
# last three through WRAPPER. Run after each build with PROGRAM, PREFIX, DISPLAYS, WRAPPER, OUTPUT.
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${PROGRAM} -functions
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} -functions failed: ${status}")
endif()
string(REGEX MATCHALL "[A-Za-z_0-9]+\\(\\)" functions "${listing}")
string(REPLACE "," ";" displays "${DISPLAYS}")
set(content "")
foreach(display ${displays})
  foreach(entry ${functions})
    string(REPLACE "()" "" function "${entry}")
    if(display STREQUAL "offscreen")
      set(test "${PREFIX}.${function}")
      set(command "\"${PROGRAM}\" \"${function}\"")
      set(environment "QT_QPA_PLATFORM=offscreen")
    else()
      set(test "${PREFIX}.${display}.${function}")
      if(display STREQUAL "openbox")
        set(manager openbox)
      else()
        set(manager none)
      endif()
      set(command "\"${WRAPPER}\" ${manager} \"${PROGRAM}\" \"${function}\"")
      set(environment "")
      if(display STREQUAL "twoscreens")
        set(environment "TESSARINE_X_SCREENS=1280x800x24 1920x1080x24")
      endif()
    endif()
    string(APPEND content
      "add_test(\"${test}\" ${command})\n"
      "set_tests_properties(\"${test}\" PROPERTIES\n"
      "  ENVIRONMENT \"${environment}\" SKIP_RETURN_CODE 77\n"
      "  RESOURCE_LOCK tessarine_e2e_qt_folder TIMEOUT 300 LABELS e2e)\n")
  endforeach()
endforeach()
file(WRITE ${OUTPUT} "${content}")
