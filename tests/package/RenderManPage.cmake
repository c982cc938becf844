# Renders a manual page the way man(1) shows it, with groff's warnings on.
# Shared by the manual-page checks (cmake -P scripts).

function(netmoth_render_man_page man page out_text out_warnings)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80 --unset=MAN_KEEP_FORMATTING --unset=MANROFFOPT
            ${man} --warnings -l ${page}
    OUTPUT_VARIABLE text
    ERROR_VARIABLE warnings
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "man could not render ${page} (status ${status}):\n${warnings}")
  endif()
  set(${out_text} "${text}" PARENT_SCOPE)
  set(${out_warnings} "${warnings}" PARENT_SCOPE)
endfunction()
