# Configures and builds the fuzz targets with clang++, as the
# set-up step of the fuzz tests; WERROR (ON or OFF) turns warnings into errors
# as in the game's own build:
#   cmake -DPROJECT=<tests/fuzz/project> -DBINARY=<dir> -DCXX=<clang++> -DWERROR=<ON|OFF>
#         -P build_fuzzers.cmake
foreach(var PROJECT BINARY CXX WERROR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_fuzzers.cmake needs -D${var}=...")
  endif()
endforeach()

# The compiler is chosen once, when the tree is first configured; the
# warnings setting follows the game's build every time.
if(NOT EXISTS ${BINARY}/CMakeCache.txt)
  # -O1 with line tables only, as the sanitizer stage: crash reports keep
  # their file and line, and the build takes half the time of -O2 -g.
  set(compiler -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo
               "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROJECT} -B ${BINARY} ${compiler}
                        -DTOPPLETON_WERROR=${WERROR}
                RESULT_VARIABLE status)
if(status)
  file(REMOVE ${BINARY}/CMakeCache.txt)
  message(FATAL_ERROR "configuring the fuzz targets failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY} --parallel 2 RESULT_VARIABLE status)
if(status)
  message(FATAL_ERROR "building the fuzz targets failed")
endif()
