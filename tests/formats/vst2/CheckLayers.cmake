# Fails if the plug-in module reaches file I/O or console code: by the targets it
# links (LINKS, one per line, written at configure time) or by the symbols in it.
# Usage: cmake -DLINKS=<file> -DNM=<nm> -DMODULE=<file> -P CheckLayers.cmake
cmake_minimum_required(VERSION 3.25)
file(STRINGS ${LINKS} linked)
foreach(forbidden spl spl_io spl_app)
  if(forbidden IN_LIST linked)
    message(FATAL_ERROR "the plug-in links ${forbidden}; it links: ${linked}")
  endif()
endforeach()

execute_process(COMMAND ${NM} -C ${MODULE} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REGEX MATCHALL
  "[^\n]*spl::(Riff[A-Za-z]*|IntegerPCM|FloatPCM|IntegerCodec|ConsoleApp|Application)::[^\n]*"
  found "${listing}")
if(found)
  message(FATAL_ERROR "file or console code in the plug-in:\n${found}")
endif()
message(STATUS "the plug-in links: ${linked}")
