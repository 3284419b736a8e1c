# Writes the plug-in's Turtle file: the template with the control ports, one per
# row of the parameter table, in place of its placeholder line. The table is
# read as text, so the build needs no program built for the target, and a cross
# build writes the same file.
#
# Usage: cmake -DTABLE=<effect/ParameterTable.def> -DTEMPLATE=<Brisendel.ttl.in>
#              -DOUTPUT=<bundle>/Brisendel.ttl -P GenerateTurtle.cmake
cmake_minimum_required(VERSION 3.25)

set(_placeholder "@CONTROL_PORTS@")
set(_columns id name symbol label kind minimum maximum step default texts comment)

# ---- reading the table --------------------------------------------------------

file(READ "${TABLE}" _table)
# Whole-line comments only: a string may hold two slashes.
string(REGEX REPLACE "(^|\n)[ \t]*//[^\n]*" "\\1" _table "${_table}")

if(NOT _table MATCHES "BRISENDEL_LV2_FIRST_CONTROL_PORT\\(([0-9]+)\\)")
  message(FATAL_ERROR "${TABLE}: no BRISENDEL_LV2_FIRST_CONTROL_PORT(<port>)")
endif()
set(_first_port ${CMAKE_MATCH_1})

# Reads the fields of one BRISENDEL_PARAMETER(...) from the start of _rest (just
# after its opening parenthesis) into P<row>_<column>, and leaves in _rest what
# follows its closing parenthesis.
macro(_read_row row)
  set(_field 0)
  set(_closed FALSE)
  while(NOT _closed)
    if(_rest MATCHES "^[ \t\r\n]*\"([^\"\\\n]*)\"[ \t\r\n]*([,)])")
    elseif(_rest MATCHES "^[ \t\r\n]*([A-Za-z0-9_.+-]+)[ \t\r\n]*([,)])")
    else()
      string(SUBSTRING "${_rest}" 0 60 _near)
      message(FATAL_ERROR "${TABLE}: row ${row}: cannot read a field at: ${_near}")
    endif()
    list(LENGTH _columns _count)
    if(_field GREATER_EQUAL _count)
      message(FATAL_ERROR "${TABLE}: row ${row} has more than ${_count} fields")
    endif()
    list(GET _columns ${_field} _column)
    set(P${row}_${_column} "${CMAKE_MATCH_1}")
    if(CMAKE_MATCH_2 STREQUAL ")")
      set(_closed TRUE)
    endif()
    string(LENGTH "${CMAKE_MATCH_0}" _used)
    string(SUBSTRING "${_rest}" ${_used} -1 _rest)
    math(EXPR _field "${_field} + 1")
  endwhile()
  if(NOT _field EQUAL _count)
    message(FATAL_ERROR "${TABLE}: row ${row} has ${_field} fields, not ${_count}")
  endif()
endmacro()

set(_rows 0)
set(_rest "${_table}")
while(TRUE)
  string(FIND "${_rest}" "BRISENDEL_PARAMETER(" _at)
  if(_at EQUAL -1)
    break()
  endif()
  math(EXPR _at "${_at} + 20")
  string(SUBSTRING "${_rest}" ${_at} -1 _rest)
  _read_row(${_rows})
  math(EXPR _rows "${_rows} + 1")
endwhile()
if(_rows EQUAL 0)
  message(FATAL_ERROR "${TABLE}: no BRISENDEL_PARAMETER rows")
endif()

# ---- writing the ports --------------------------------------------------------

# A value as a Turtle literal: decimal for a Number (the effect rounds it to the
# step), whole for the other kinds.
function(_literal value kind out)
  if(kind STREQUAL "Number")
    if(value MATCHES "^-?[0-9]+$")
      set(value "${value}.0")
    elseif(NOT value MATCHES "^-?[0-9]+\\.[0-9]+$")
      message(FATAL_ERROR "${TABLE}: ${value} is no decimal number")
    endif()
  elseif(NOT value MATCHES "^-?[0-9]+$")
    message(FATAL_ERROR "${TABLE}: ${kind} parameters take whole numbers, not ${value}")
  endif()
  set(${out} "${value}" PARENT_SCOPE)
endfunction()

file(READ "${TEMPLATE}" _turtle)
string(REGEX MATCHALL "\n${_placeholder}\n" _found "${_turtle}")
list(LENGTH _found _found)
if(NOT _found EQUAL 1)
  message(FATAL_ERROR "${TEMPLATE}: needs the line ${_placeholder} once")
endif()

set(_ports "")
math(EXPR _last "${_rows} - 1")
foreach(row RANGE ${_last})
  set(_kind "${P${row}_kind}")
  math(EXPR _index "${_first_port} + ${row}")
  if(_turtle MATCHES "lv2:index ${_index} ;")
    message(FATAL_ERROR "${TEMPLATE}: port ${_index} is taken; parameter ${P${row}_name} needs it")
  endif()
  _literal("${P${row}_default}" ${_kind} _default)
  _literal("${P${row}_minimum}" ${_kind} _minimum)
  _literal("${P${row}_maximum}" ${_kind} _maximum)
  # Built as one string, not a list: comments may hold semicolons.
  set(_body "a lv2:InputPort ,\n\t\t\tlv2:ControlPort")
  set(_next " ;\n\t\t")
  string(APPEND _body "${_next}lv2:index ${_index}"
                      "${_next}lv2:symbol \"${P${row}_symbol}\""
                      "${_next}lv2:name \"${P${row}_name}\""
                      "${_next}rdfs:comment \"${P${row}_comment}\""
                      "${_next}lv2:default ${_default}"
                      "${_next}lv2:minimum ${_minimum}"
                      "${_next}lv2:maximum ${_maximum}")
  if(_kind STREQUAL "Integer")
    string(APPEND _body "${_next}lv2:portProperty lv2:integer")
  elseif(_kind STREQUAL "Toggle")
    string(APPEND _body "${_next}lv2:portProperty lv2:toggled")
  elseif(_kind STREQUAL "Choice")
    string(APPEND _body "${_next}lv2:portProperty lv2:integer ,\n\t\t\tlv2:enumeration")
    # One scale point per step, labelled with its text, at its plain value.
    if(P${row}_texts MATCHES ";")
      message(FATAL_ERROR "${TABLE}: parameter ${P${row}_name}: no semicolon in texts")
    endif()
    string(REPLACE "|" ";" _texts "${P${row}_texts}")
    set(_points "")
    set(_value ${_minimum})
    foreach(text IN LISTS _texts)
      if(NOT _points STREQUAL "")
        string(APPEND _points " , ")
      endif()
      string(APPEND _points "[\n\t\t\trdfs:label \"${text}\" ;\n\t\t\trdf:value ${_value}\n\t\t]")
      math(EXPR _value "${_value} + ${P${row}_step}")
    endforeach()
    string(APPEND _body "${_next}lv2:scalePoint ${_points}")
  elseif(NOT _kind STREQUAL "Number")
    message(FATAL_ERROR "${TABLE}: parameter ${P${row}_name}: unknown kind ${_kind}")
  endif()
  if(P${row}_label STREQUAL "%")
    string(APPEND _body "${_next}units:unit units:pc")
  elseif(NOT P${row}_label STREQUAL "")
    message(FATAL_ERROR "${TABLE}: no LV2 unit for the label ${P${row}_label}")
  endif()
  string(APPEND _ports "\t\t${_body}\n\t] , [\n")
endforeach()

string(REPLACE "\n${_placeholder}\n" "\n${_ports}" _turtle "${_turtle}")
# Unchanged content keeps its time stamp, so nothing downstream runs again.
file(WRITE "${OUTPUT}.new" "${_turtle}")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
