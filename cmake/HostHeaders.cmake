# host_header_folder(<out-var> <folder> <header> <package>)
# Header-only libraries from Debian sit in /usr/include, which cross compilers do
# not search (and must not: the rest of that folder is the build machine's). This
# finds <folder>/<header> there and makes a folder in the build tree holding
# nothing but a link to <folder>, so a target can include that library alone.
# <out-var> receives the folder to add as a (system) include directory.
function(host_header_folder out_var folder header package)
  string(TOUPPER "${folder}" _name)
  find_path(HOST_${_name}_INCLUDE_DIR ${folder}/${header}
    PATHS /usr/include /usr/local/include
    NO_CMAKE_FIND_ROOT_PATH
    DOC "The folder that holds ${folder}/${header} (${package})")
  if(NOT HOST_${_name}_INCLUDE_DIR)
    message(FATAL_ERROR "${folder}/${header} not found: install ${package}")
  endif()
  set(_only ${PROJECT_BINARY_DIR}/${folder}-include)
  file(MAKE_DIRECTORY ${_only})
  file(CREATE_LINK ${HOST_${_name}_INCLUDE_DIR}/${folder} ${_only}/${folder} SYMBOLIC)
  set(${out_var} ${_only} PARENT_SCOPE)
endfunction()
