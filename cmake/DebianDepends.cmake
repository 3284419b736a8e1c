# Run by cpack before it builds the .deb: sets the package's Depends from what
# dpkg-shlibdeps reads in the packaged binaries (BRISENDEL_PACKAGED_BINARIES).
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps REQUIRED)
# dpkg-shlibdeps wants to stand in a source tree: an empty debian/control is enough.
set(_tree ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/shlibdeps)
file(MAKE_DIRECTORY ${_tree}/debian)
file(WRITE ${_tree}/debian/control "")
list(FILTER BRISENDEL_PACKAGED_BINARIES EXCLUDE REGEX "^$")
execute_process(COMMAND ${DPKG_SHLIBDEPS} -O ${BRISENDEL_PACKAGED_BINARIES}
  WORKING_DIRECTORY ${_tree}
  OUTPUT_VARIABLE _output
  ERROR_VARIABLE _errors
  RESULT_VARIABLE _status
  OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT _status EQUAL 0 OR NOT _output MATCHES "^shlibs:Depends=(.+)$")
  message(FATAL_ERROR "dpkg-shlibdeps failed (${_status}): ${_errors}")
endif()
set(CPACK_DEBIAN_PACKAGE_DEPENDS "${CMAKE_MATCH_1}")
