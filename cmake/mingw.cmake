# Cross build of the Windows binaries with mingw-w64; tests run under Wine.
# KV_WIN_ARCH is i686 for the shipped 32-bit binaries (the default), or x86_64 for a test
# tree on a machine whose kernel cannot run 32-bit code (so no 32-bit Wine either).
set(KV_WIN_ARCH i686 CACHE STRING "mingw-w64 target: i686 (shipped) or x86_64 (tests only)")
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KV_WIN_ARCH})

set(_kv_triple ${KV_WIN_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_kv_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_kv_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${_kv_triple}-windres)
set(KV_WIDL ${_kv_triple}-widl)
if(KV_WIN_ARCH STREQUAL "x86_64")
  set(KV_WIDL_TARGET --win64)
else()
  set(KV_WIDL_TARGET --win32)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${_kv_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every test program runs through the project's Wine wrapper, with a prefix that
# belongs to this build tree (never ~/.wine).
get_filename_component(_kv_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_kv_root}/scripts/wine-run")
