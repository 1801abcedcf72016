# ferrule_export_names(HEADER OUT_VAR): the names of the functions that
# HEADER declares FERRULE_API, for the version script of libferrule.so.
function(ferrule_export_names header out_var)
  file(STRINGS ${header} declarations REGEX "^[ \t]*FERRULE_API[ \t]")
  set(names "")
  foreach(declaration IN LISTS declarations)
    # The name is the word before the first parenthesis, which must be on the
    # same line, so that no declaration is skipped unseen.
    if(NOT declaration MATCHES "^[ \t]*FERRULE_API[ \t][^(]*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*)[ \t]*[(]")
      message(FATAL_ERROR "ferrule.h: no function name before '(' in: ${declaration}")
    endif()
    list(APPEND names ${CMAKE_MATCH_1})
  endforeach()
  set(${out_var} ${names} PARENT_SCOPE)
endfunction()
