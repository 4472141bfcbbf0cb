# The product version lives in the file VERSION at the top of the tree; a release
# of another version passes -DVERIVIR_VERSION=X.Y. Everything that shows or
# compares the version reads the generated header, so nothing else spells it.
file(STRINGS ${PROJECT_SOURCE_DIR}/VERSION verivir_default_version LIMIT_COUNT 1)
set(VERIVIR_VERSION ${verivir_default_version} CACHE STRING "Product version, major.minor")
if(NOT VERIVIR_VERSION MATCHES "^([0-9]+)\\.([0-9]+)$")
  message(FATAL_ERROR "VERIVIR_VERSION must be major.minor (digits only), not '${VERIVIR_VERSION}'")
endif()
set(VERIVIR_VERSION_MAJOR ${CMAKE_MATCH_1})
set(VERIVIR_VERSION_MINOR ${CMAKE_MATCH_2})
configure_file(${PROJECT_SOURCE_DIR}/cmake/verivir_version.h.in
  ${CMAKE_BINARY_DIR}/generated/verivir_version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/generated)
