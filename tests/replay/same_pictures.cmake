# Plays the levels twice with the recording GL, the second time with the
# replay built to draw every cell (REPLAY_EVERYTHING), and fails unless every
# level's digests, the pictures among them, are the same. Run by ctest with
# REPLAY, REPLAY_EVERYTHING, LEVELS and SOLUTIONS set.
set(culled_replay ${REPLAY})
set(everything_replay ${REPLAY_EVERYTHING})
foreach(run culled everything)
  execute_process(
    COMMAND ${${run}_replay} --levels ${LEVELS} --solutions ${SOLUTIONS} --digest
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
