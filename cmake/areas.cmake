# Adds every immediate subdirectory of the current one that has a CMakeLists.txt,
# so each area owns its own test list and nobody edits a shared one.
macro(kv_add_area_subdirectories)
  file(GLOB _kv_areas LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  list(SORT _kv_areas)
  foreach(_kv_area IN LISTS _kv_areas)
    if(IS_DIRECTORY ${_kv_area} AND EXISTS ${_kv_area}/CMakeLists.txt)
      add_subdirectory(${_kv_area})
    endif()
  endforeach()
endmacro()
