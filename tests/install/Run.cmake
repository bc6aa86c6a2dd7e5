# run(COMMAND...): runs a command in WORK_DIR, its output in `output`; stops
# the script with the command and its output when it fails.
function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output
                  WORKING_DIRECTORY ${WORK_DIR})
  if(NOT result EQUAL 0)
    string(REPLACE ";" " " command "${ARGN}")
    message(FATAL_ERROR "failed: ${command}\n${output}")
  endif()
  set(output "${output}" PARENT_SCOPE)
endfunction()
