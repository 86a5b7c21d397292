# Makes a 5 x 3 PNG, then runs "editordemo --check-picture" twice on the same
# database: the first run makes the file, the second finds it and writes the
# row again. Each run must succeed and print the picture's size.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
set(picture ${SCRATCH}/red.png)
execute_process(
  COMMAND printf "\\211PNG\\015\\012\\032\\012\\000\\000\\000\\015IHDR\\000\\000\\000\\005\\000\\000\\000\\003\\010\\002\\000\\000\\000\\324TR\\257\\000\\000\\000\\020IDATx\\332c8!'\\207\\214\\030\\010\\360\\001w\\325\\017=\\022\\001|\\213\\000\\000\\000\\000IEND\\256B`\\202"
  OUTPUT_FILE ${picture}
  RESULT_VARIABLE made)
if(NOT made EQUAL 0)
  message(FATAL_ERROR "could not write ${picture}")
endif()
foreach(run "made" "found")
  execute_process(
    COMMAND env HOME=${SCRATCH} CORVANTA_HOME=${SCRATCH} ${PROGRAM} --check-picture ${SCRATCH}/pics.db ${picture}
    RESULT_VARIABLE status
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors
    TIMEOUT 60)
  if(NOT status STREQUAL "0" OR NOT output MATCHES "picture=5x3\n")
    message(FATAL_ERROR "database ${run}: status '${status}', output:\n${output}\nstderr:\n${errors}")
  endif()
endforeach()
file(REMOVE_RECURSE ${SCRATCH})
