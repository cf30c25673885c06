# Plays the levels twice with the recording GL, the second time with every
# cell drawn (the game's hidden switch), and fails unless every level's
# digests, the pictures among them, are the same. Run by ctest with REPLAY,
# LEVELS and SOLUTIONS set.
foreach(run culled everything)
  set(env)
  if(run STREQUAL everything)
    set(env TOPPLETON_DRAW_EVERYTHING=1)
  endif()
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env ${env} ${REPLAY} --levels ${LEVELS} --solutions ${SOLUTIONS} --digest
    OUTPUT_VARIABLE ${run} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "replay (${run}) failed with status ${status}:\n${${run}}")
  endif()
endforeach()
if(NOT culled MATCHES "pictures [0-9a-f]+")
  message(FATAL_ERROR "no pictures fingerprinted:\n${culled}")
endif()
if(NOT culled STREQUAL everything)
  message(FATAL_ERROR "the culled frames differ within the view:\n${culled}\nwith every cell drawn:\n${everything}")
endif()
message("${culled}")
