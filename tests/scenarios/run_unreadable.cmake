# A file that cannot be read, and a second argument, end with status 2 and a message.
execute_process(COMMAND ${RUNNER} ${CMAKE_CURRENT_LIST_DIR}/no-such-script.txt
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 2 OR err STREQUAL "" OR NOT out STREQUAL "")
  message(FATAL_ERROR "missing file: status ${status}, stderr '${err}', stdout '${out}'")
endif()
execute_process(COMMAND ${RUNNER} ${CMAKE_CURRENT_LIST_DIR} 
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 2 OR err STREQUAL "")
  message(FATAL_ERROR "directory: status ${status}, stderr '${err}'")
endif()
execute_process(COMMAND ${RUNNER} a b
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 2 OR err STREQUAL "")
  message(FATAL_ERROR "two arguments: status ${status}, stderr '${err}'")
endif()
