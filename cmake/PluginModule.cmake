# brisendel_add_module(<target> SOURCES <files...> EXPORTS <version script>
#                      [DEF <module definition file>] [OUTPUT_NAME <name>]
#                      [OUTPUT_DIRECTORY <folder>] [LIBS <targets...>])
# A module a host loads: a shared object (a DLL on Windows) named <name> with no
# "lib" prefix, hidden visibility everywhere, exactly the entry names that the
# version script (on Windows the module definition file) lists, and no symbol
# left for the host to supply. Every plug-in format's module, and the small
# modules the tests load like hosts do, are made by this one function.
function(brisendel_add_module target)
  cmake_parse_arguments(ARG "" "EXPORTS;DEF;OUTPUT_NAME;OUTPUT_DIRECTORY" "SOURCES;LIBS" ${ARGN})
  add_library(${target} MODULE ${ARG_SOURCES})
  if(NOT ARG_OUTPUT_NAME)
    set(ARG_OUTPUT_NAME ${target})
  endif()
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${ARG_OUTPUT_NAME}
    PREFIX ""
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  if(ARG_OUTPUT_DIRECTORY AND NOT WIN32)
    # Windows programs find DLLs next to themselves: there every module stays in
    # the one output folder.
    set_target_properties(${target} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${ARG_OUTPUT_DIRECTORY})
  endif()
  target_link_libraries(${target} PRIVATE spl_options ${ARG_LIBS})
  if(WIN32)
    if(NOT ARG_DEF)
      message(FATAL_ERROR "brisendel_add_module(${target}): a Windows module needs DEF")
    endif()
    target_sources(${target} PRIVATE ${ARG_DEF})
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  else()
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${ARG_EXPORTS})
    target_link_options(${target} PRIVATE -Wl,--version-script=${ARG_EXPORTS})
    # clang links its sanitizer runtimes into programs only: in a module built
    # with them the loading program supplies those symbols (GCC links the shared
    # runtime into the module, so there the check stays).
    if(NOT (CMAKE_CXX_COMPILER_ID MATCHES "Clang" AND (SPL_SANITIZE OR SPL_TSAN OR SPL_FUZZ)))
      target_link_options(${target} PRIVATE -Wl,--no-undefined)
    endif()
  endif()
endfunction()
