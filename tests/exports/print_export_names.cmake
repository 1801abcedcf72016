# cmake -DHEADER=FILE -P print_export_names.cmake: the names configure puts
# in the version script for FILE, one a line, or its refusal.
include(${CMAKE_CURRENT_LIST_DIR}/../../library/export_names.cmake)
ferrule_export_names(${HEADER} names)
foreach(name IN LISTS names)
  message(STATUS ${name})
endforeach()
