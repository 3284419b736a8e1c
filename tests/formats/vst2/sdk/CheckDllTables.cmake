# Fails unless the DLL exports exactly VSTPluginMain and main and imports from
# nothing but KERNEL32, USER32 and msvcrt (a DLL of the compiler's runtime left
# to load at run time would keep the plug-in from loading on a user's machine;
# under Wine with its debug output off that shows only as exit code 53).
# Usage: cmake -DOBJDUMP=<objdump> -DMODULE=<file.dll> -P CheckDllTables.cmake
execute_process(COMMAND ${OBJDUMP} -p ${MODULE}
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "objdump failed on ${MODULE}")
endif()

# Import table: one "DLL Name: X.dll" line per imported DLL.
string(REGEX MATCHALL "DLL Name: [^\n]+" import_lines "${listing}")
set(imports)
foreach(line ${import_lines})
  string(REGEX REPLACE "^DLL Name: *" "" name "${line}")
  string(STRIP "${name}" name)
  string(TOUPPER "${name}" name)
  list(APPEND imports ${name})
endforeach()
list(SORT imports)
list(REMOVE_DUPLICATES imports)

# Export table: the name pointer table lists "[ n] name" lines after its heading.
set(exports)
string(FIND "${listing}" "[Ordinal/Name Pointer] Table" table_start)
if(table_start GREATER_EQUAL 0)
  string(SUBSTRING "${listing}" ${table_start} -1 table)
  string(REGEX MATCHALL "\n[ \t]*\\[ *[0-9]+\\] [^\n]+" export_lines "${table}")
  foreach(line ${export_lines})
    string(REGEX REPLACE "^\n[ \t]*\\[ *[0-9]+\\] " "" name "${line}")
    string(STRIP "${name}" name)
    list(APPEND exports ${name})
  endforeach()
endif()
list(SORT exports)

message(STATUS "exports: ${exports}")
message(STATUS "imports: ${imports}")
if(NOT exports STREQUAL "VSTPluginMain;main")
  message(FATAL_ERROR "exported: ${exports}")
endif()
if(NOT imports STREQUAL "KERNEL32.DLL;MSVCRT.DLL;USER32.DLL")
  message(FATAL_ERROR "imported: ${imports}")
endif()
