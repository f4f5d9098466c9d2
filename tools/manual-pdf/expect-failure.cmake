# Runs zorel8z-manual-pdf and expects it to refuse: exit status 1, the given text on stderr, no output.
#   cmake -DTOOL=... -DIN=... -DOUT=... [-DEXTRA=SHOTS_DIR] -DEXPECT=regex -P expect-failure.cmake
execute_process(COMMAND "${TOOL}" "${IN}" "${OUT}" ${EXTRA} RESULT_VARIABLE rc ERROR_VARIABLE err OUTPUT_QUIET)
if(NOT rc STREQUAL "1")
  message(FATAL_ERROR "expected exit status 1, got '${rc}'; stderr: ${err}")
endif()
if(NOT err MATCHES "${EXPECT}")
  message(FATAL_ERROR "expected '${EXPECT}' on stderr, got: ${err}")
endif()
if(EXISTS "${OUT}")
  message(FATAL_ERROR "${OUT} was written")
endif()
