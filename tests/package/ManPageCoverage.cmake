# Every switch the program matches and every environment variable it reads is
# named in the rendered manual page, so neither can be added undocumented.
include(${CMAKE_CURRENT_LIST_DIR}/RenderManPage.cmake)

# Words groff hyphenated at a line end are joined again, and the hyphen and
# minus signs of a UTF-8 rendering read as the ASCII "-" they stand for.
function(plain_text text out)
  string(REGEX REPLACE "‐\n *" "" text "${text}")
  string(REGEX REPLACE "[‐−]" "-" text "${text}")
  string(REGEX REPLACE "[ \n]+" " " text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(quoted_names_in folder pattern out)
  file(GLOB_RECURSE sources ${folder}/*.cpp ${folder}/*.h)
  set(names)
  foreach(source ${sources})
    file(STRINGS ${source} lines REGEX "\"${pattern}\"")
    foreach(line ${lines})
      string(REGEX MATCHALL "\"${pattern}\"" quoted "${line}")
      list(APPEND names ${quoted})
    endforeach()
  endforeach()
  list(TRANSFORM names REPLACE "\"" "")
  list(REMOVE_DUPLICATES names)
  set(${out} ${names} PARENT_SCOPE)
endfunction()

netmoth_render_man_page(${MAN} ${PAGE} rendered warnings)
plain_text("${rendered}" text)

quoted_names_in(${SOURCES}/cli "--[A-Za-z]+=?" switches)
quoted_names_in(${SOURCES} "(NETMOTH_[A-Z_]+|XDG_[A-Z_]+|HOME)" variables)
if(NOT switches OR NOT variables)
  message(FATAL_ERROR "found no switches or no environment variables under ${SOURCES}")
endif()

set(missing)
foreach(name ${switches} ${variables})
  string(FIND "${text}" "${name}" at)
  if(at EQUAL -1)
    list(APPEND missing ${name})
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "${PAGE} does not mention: ${missing}")
endif()
message(STATUS "documented: ${switches};${variables}")
