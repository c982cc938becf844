# Building the program never needs the test framework: configured where
# GoogleTest cannot be found, the tree still generates the program, leaves the
# tests out and says so in one line.
file(REMOVE_RECURSE ${BUILD})
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${BUILD} -G ${GENERATOR}
          -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DNETMOTH_BUILD_TESTS=ON
  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configure without GoogleTest failed (status ${status}):\n${out}\n${err}")
endif()
string(REGEX MATCHALL "[^\n]*[Tt]ests off[^\n]*" notices "${out}\n${err}")
list(LENGTH notices count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one line saying the tests are off, found ${count}:\n${out}\n${err}")
endif()
if(EXISTS ${BUILD}/CTestTestfile.cmake)
  message(FATAL_ERROR "tests were registered although GoogleTest was not found")
endif()
# A dry run (-n, known to Ninja and Make) fails when there is no such target.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD} --target netmoth-companion -- -n
                OUTPUT_VARIABLE plan ERROR_VARIABLE plan RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the program cannot be built without GoogleTest:\n${plan}")
endif()
file(REMOVE_RECURSE ${BUILD})
