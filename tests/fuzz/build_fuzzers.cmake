# Configures (the first time) and builds the fuzz targets with clang++, as the
# set-up step of the fuzz tests:
#   cmake -DPROJECT=<tests/fuzz/project> -DBINARY=<dir> -DCXX=<clang++> -P build_fuzzers.cmake
foreach(var PROJECT BINARY CXX)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_fuzzers.cmake needs -D${var}=...")
  endif()
endforeach()

if(NOT EXISTS ${BINARY}/CMakeCache.txt)
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROJECT} -B ${BINARY}
                          -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
                  RESULT_VARIABLE status)
  if(status)
    file(REMOVE ${BINARY}/CMakeCache.txt)
    message(FATAL_ERROR "configuring the fuzz targets failed")
  endif()
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --parallel 2 RESULT_VARIABLE status)
if(status)
  message(FATAL_ERROR "building the fuzz targets failed")
endif()
