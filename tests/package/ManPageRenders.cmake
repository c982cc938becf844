# The manual page renders without a single groff warning (man exits 0 even
# when groff warns, so the warnings themselves are the verdict).
include(${CMAKE_CURRENT_LIST_DIR}/RenderManPage.cmake)

netmoth_render_man_page(${MAN} ${PAGE} text warnings)
if(NOT warnings STREQUAL "")
  message(FATAL_ERROR "${PAGE} renders with warnings:\n${warnings}")
endif()
foreach(section NAME SYNOPSIS DESCRIPTION OPTIONS OUTPUT FILES ENVIRONMENT "EXIT STATUS")
  if(NOT text MATCHES "\n${section}\n")
    message(FATAL_ERROR "${PAGE} has no ${section} section")
  endif()
endforeach()
