# Records every number of the game as the window says it: the words printed by
# PRINTER, spoken by espeak-ng's Spanish voice, then cut to the speech (silence trimmed
# at both ends), evened out in loudness and made small: mono, 11025 Hz, 8-bit PCM in
# WAV, which both QSoundEffect and Windows' PlaySound play. Without dither, so the same
# build makes the same files.
#
#   cmake -D PRINTER=... -D ESPEAK=... -D SOX=... -D OUTPUT_DIR=... -P make_recordings.cmake
foreach(variable PRINTER ESPEAK SOX OUTPUT_DIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "make_recordings.cmake: falta -D ${variable}=...")
  endif()
endforeach()

execute_process(COMMAND ${PRINTER} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PRINTER} falló: ${status}")
endif()
file(MAKE_DIRECTORY ${OUTPUT_DIR})
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  if(line STREQUAL "")
    continue()
  endif()
  string(REPLACE "\t" ";" fields "${line}")
  list(GET fields 0 number)
  list(GET fields 1 words)
  set(spoken ${OUTPUT_DIR}/${number}.espeak.wav)
  execute_process(COMMAND ${ESPEAK} -v es -w ${spoken} "${words}"
    RESULT_VARIABLE status ERROR_VARIABLE said)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "espeak-ng no pudo decir «${words}»: ${said}")
  endif()
  execute_process(COMMAND ${SOX} -D ${spoken} -r 11025 -b 8 -e unsigned-integer -c 1
      ${OUTPUT_DIR}/${number}.wav
      silence 1 0.02 0.3% reverse silence 1 0.02 0.3% reverse norm -1 pad 0.02 0.05
    RESULT_VARIABLE status ERROR_VARIABLE said)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "sox no pudo preparar «${words}»: ${said}")
  endif()
  file(REMOVE ${spoken})
endforeach()
