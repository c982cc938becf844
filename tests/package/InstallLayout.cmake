# `cmake --install` puts the program in bin/ and its manual page, compressed,
# in share/man/man1/, where man(1) looks for it.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${STAGE}
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed:\n${errors}")
endif()

set(program ${STAGE}/bin/netmoth-companion)
set(page ${STAGE}/share/man/man1/netmoth-companion.1.gz)
if(NOT EXISTS ${program} OR IS_DIRECTORY ${program})
  message(FATAL_ERROR "no program at ${program}")
endif()
# The installed copy runs: it answers the permission question on a scene.
file(WRITE ${STAGE}/scene.json "{\"interfaces\": []}")
execute_process(COMMAND ${CMAKE_COMMAND} -E env NETMOTH_SCENE=${STAGE}/scene.json
                        ${program} --isCheckingLocationPermission
                OUTPUT_VARIABLE answer RESULT_VARIABLE status TIMEOUT 60)
if(NOT status EQUAL 0 OR NOT answer STREQUAL "authorized\n")
  message(FATAL_ERROR "the installed program answered '${answer}' with status ${status}")
endif()

if(NOT EXISTS ${page})
  message(FATAL_ERROR "no manual page at ${page}")
endif()
file(READ ${page} head LIMIT 2 HEX)
if(NOT head STREQUAL "1f8b")
  message(FATAL_ERROR "${page} is not gzip-compressed")
endif()
