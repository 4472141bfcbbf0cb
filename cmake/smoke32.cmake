# The 32-bit smoke set: the test cases that tools/test runs on the i686 build where
# 32-bit programs run only under CPU emulation (far too slow for every case).
# Each program runs once with a filter of its chosen cases, so one Wine process
# serves them all; tools/test reads the list from <build>/smoke32.txt.
#
# verivir_smoke32(TARGET CASES Suite.Case... [SETUP cmd...] [CLEANUP cmd...])
#   CASES *      every case of the program
#   SETUP/CLEANUP  commands run before and after the program (a server, say)
# Another program joins with one call beside its own test definition (the x86
# installer's silent install and uninstall, for one).
function(verivir_smoke32 target)
  cmake_parse_arguments(S "" "" "CASES;SETUP;CLEANUP" ${ARGN})
  list(LENGTH S_CASES count)
  if(S_CASES STREQUAL "*")
    set(count 0)  # any number, but at least one
  endif()
  list(JOIN S_CASES ":" filter)
  list(JOIN S_SETUP " " setup)
  list(JOIN S_CLEANUP " " cleanup)
  set_property(GLOBAL APPEND PROPERTY VERIVIR_SMOKE32
    "$<TARGET_FILE:${target}>|${filter}|${count}|${setup}|${cleanup}\n")
endfunction()

# Called once at the end of the top-level list file, when every entry is in.
function(verivir_write_smoke32)
  get_property(entries GLOBAL PROPERTY VERIVIR_SMOKE32)
  list(JOIN entries "" content)
  file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/smoke32.txt CONTENT "${content}")
endfunction()
