# Reading vornel-sim's output in the checks: figure(VAR TEXT KEY) sets VAR to
# the value of the line "KEY: value", and fails the check when there is none.
function(figure out_var text key)
  if(NOT text MATCHES "(^|\n)${key}: ([^\n]*)")
    message(FATAL_ERROR "no ${key} in:\n${text}")
  endif()
  set(${out_var} "${CMAKE_MATCH_2}" PARENT_SCOPE)
endfunction()
