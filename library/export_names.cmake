# ferrule_export_names(HEADER OUT_VAR): the names of the functions that
# HEADER declares FERRULE_API, for the version script of libferrule.so.
# A declaration is read from its line alone: FERRULE_API first, then the
# return type, and the name before the first parenthesis. Any other line
# that holds FERRULE_API (the macro after `extern`, two declarations on a
# line, the name on the next line, a mention in a comment) stops the
# configure step, naming the line, so that no declaration is left out of
# the exports unseen; only the macro's own #define lines are passed over.
function(ferrule_export_names header out_var)
  file(STRINGS ${header} lines REGEX "FERRULE_API")
  set(names "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[ \t]*#[ \t]*define[ \t]+FERRULE_API([ \t]|$)")
      continue()
    endif()
    string(REGEX MATCHALL "FERRULE_API" uses "${line}")
    list(LENGTH uses count)
    if(NOT count EQUAL 1 OR NOT line MATCHES
       "^[ \t]*FERRULE_API[ \t][^(]*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*)[ \t]*[(]")
      message(FATAL_ERROR "${header}: a line holds FERRULE_API but is not one "
              "declaration with FERRULE_API first and the function's name and "
              "'(' on the same line, so its function would not be exported:\n  ${line}")
    endif()
    list(APPEND names ${CMAKE_MATCH_1})
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()
