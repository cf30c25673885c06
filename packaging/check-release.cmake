# Checks that the newest release an AppStream metainfo file lists is the
# given version:
#   cmake -DMETAINFO=<file> -DVERSION=<version> -P check-release.cmake
foreach(var METAINFO VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "check-release.cmake needs -D${var}=...")
  endif()
endforeach()

file(READ ${METAINFO} metainfo)
if(NOT metainfo MATCHES "<releases>[ \n]*<release version=\"([^\"]*)\"")
  message(FATAL_ERROR "${METAINFO} lists no release")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL VERSION)
  message(FATAL_ERROR "${METAINFO}: newest release ${CMAKE_MATCH_1}, expected ${VERSION}")
endif()
message(STATUS "${METAINFO}: newest release ${CMAKE_MATCH_1}")
