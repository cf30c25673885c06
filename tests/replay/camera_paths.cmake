# Plays every fixture level set with the replay tool's --digest and compares
# the fingerprints of each level's camera path (every camera global after
# every frame) and end state with the stored ones in camera_paths.txt: the
# camera must follow the same path to the last bit. Run by ctest with REPLAY
# and FIXTURES set; TOPPLETON_REDRAW=1 in the environment rewrites the file.
file(GLOB sets LIST_DIRECTORIES true ${FIXTURES}/*)
list(SORT sets)
set(digests "")
foreach(set ${sets})
  if(IS_DIRECTORY ${set})
    get_filename_component(name ${set} NAME)
    execute_process(COMMAND ${REPLAY} --levels ${set} --solutions ${set} --digest
      OUTPUT_VARIABLE out RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "replay of ${name} failed with status ${status}:\n${out}")
    endif()
    string(REGEX MATCHALL "digest: [^\n]*" lines "${out}")
    foreach(line ${lines})
      string(APPEND digests "${name} ${line}\n")
    endforeach()
  endif()
endforeach()
set(stored ${CMAKE_CURRENT_LIST_DIR}/camera_paths.txt)
if("$ENV{TOPPLETON_REDRAW}" STREQUAL "1")
  file(WRITE ${stored} "${digests}")
endif()
file(READ ${stored} expected)
if(NOT digests STREQUAL expected)
  message(FATAL_ERROR "the camera paths or end states differ from ${stored}:\n${digests}")
endif()
