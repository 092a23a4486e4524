# KV_SOURCE_DATE_EPOCH: the one time a build writes wherever a tool stamps one (stripped images,
# the type library, signatures, the MSI), so that the same sources build the same bytes:
# SOURCE_DATE_EPOCH when given, else the time of the sources' last commit.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(_kv_epoch $ENV{SOURCE_DATE_EPOCH})
else()
  execute_process(COMMAND git log -1 --format=%ct WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE _kv_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT _kv_epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "no build time: set SOURCE_DATE_EPOCH, or build from a git clone")
endif()
set(KV_SOURCE_DATE_EPOCH ${_kv_epoch} CACHE INTERNAL "the build's fixed time, seconds since 1970")
