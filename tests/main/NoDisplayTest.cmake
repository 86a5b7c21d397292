# Starts the program with an emptied environment (no display, no window
# platform chosen) and expects a plain message on stderr and a failure status,
# not an abort with a core dump. HOME and CORVANTA_HOME point at a scratch
# folder, so a regression that starts further cannot touch real settings.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(
  COMMAND env -i HOME=${SCRATCH} CORVANTA_HOME=${SCRATCH} ${PROGRAM}
  RESULT_VARIABLE status
  OUTPUT_VARIABLE output
  ERROR_VARIABLE errors
  TIMEOUT 60)
file(REMOVE_RECURSE ${SCRATCH})
if(NOT status STREQUAL "1")
  message(FATAL_ERROR "expected exit status 1, got '${status}'; stderr:\n${errors}")
endif()
foreach(expected "needs a graphical display" "DISPLAY")
  string(FIND "${errors}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "stderr does not say '${expected}':\n${errors}")
  endif()
endforeach()
