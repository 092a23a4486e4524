# kv_delay_import(<target> <dll> <function:argument-bytes>...)
# An imported library target through which a program loads <dll> the first time it
# calls one of the listed functions, rather than at start. The argument bytes give the
# stdcall decoration of the 32-bit build's names.
function(kv_delay_import target dll)
  set(_exports "")
  foreach(_call IN LISTS ARGN)
    string(REPLACE ":" ";" _parts ${_call})
    list(GET _parts 0 _name)
    list(GET _parts 1 _bytes)
    if(KV_WIN_ARCH STREQUAL "i686")
      string(APPEND _exports "${_name}@${_bytes}\n")
    else()
      string(APPEND _exports "${_name}\n")
    endif()
  endforeach()
  set(_def ${CMAKE_CURRENT_BINARY_DIR}/${target}.def)
  file(CONFIGURE OUTPUT ${_def} CONTENT "LIBRARY ${dll}\nEXPORTS\n${_exports}" @ONLY)
  set(_lib ${CMAKE_CURRENT_BINARY_DIR}/lib${target}.a)
  add_custom_command(OUTPUT ${_lib}
    COMMAND ${CMAKE_DLLTOOL} -k --input-def ${_def} --dllname ${dll} --output-delaylib ${_lib}
    DEPENDS ${_def}
    COMMENT "delay-load import library of ${dll}" VERBATIM)
  add_custom_target(${target}_lib DEPENDS ${_lib})
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES IMPORTED_LOCATION ${_lib})
  add_dependencies(${target} ${target}_lib)
endfunction()
