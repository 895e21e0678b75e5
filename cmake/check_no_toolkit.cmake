# Fails when PROGRAM is linked against a toolkit (EFL) library.
execute_process(COMMAND ldd ${PROGRAM} OUTPUT_VARIABLE libs RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "ldd ${PROGRAM} failed")
endif()
if(libs MATCHES "lib(elementary|evas|ecore|eina|efl)[^ ]*\\.so")
  message(FATAL_ERROR "${PROGRAM} links the toolkit:\n${libs}")
endif()
message(STATUS "${PROGRAM}: no toolkit library")
