# Writes the header with the build time the About page shows: SOURCE_DATE_EPOCH
# when it is set, else the time of the commit the tree is at, so that two builds
# of one commit are the same to the byte. Without either the header defines
# nothing and the compiler's clock stays. Run at every build, it rewrites the
# header only when the time changes, so only the files that show it rebuild.
#   cmake -DSOURCE_DIR=dir -DOUTPUT=file -P build_time.cmake
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
  execute_process(COMMAND git -C "${SOURCE_DIR}" log -1 --format=%ct
    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
set(content "// Generated at build time by cmake/build_time.cmake: do not edit.\n#pragma once\n")
if(epoch MATCHES "^[0-9]+$")
  string(APPEND content "#define VERIVIR_BUILD_TIME ${epoch}LL\n")
endif()
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL content)
  file(WRITE "${OUTPUT}" "${content}")
endif()
