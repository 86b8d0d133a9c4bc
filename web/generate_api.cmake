# Makes, from the module's table of exported functions (api_table.inc), the list the linker
# exports and the page's wrappers (cyclar-api.js). Run as
#   cmake -DTABLE=api_table.inc -DEXPORTS=out.txt -DWRAPPERS=cyclar-api.js -P generate_api.cmake
cmake_minimum_required(VERSION 3.25)
file(READ ${TABLE} _table)
# Comments go; rows may run over lines.
string(REGEX REPLACE "//[^\n]*" "" _table "${_table}")
string(REGEX REPLACE "[\r\n\t ]+" " " _table "${_table}")
string(REGEX MATCHALL "CYCLAR_WEB_API\\([^()]*\\([^()]*\\) *\\)" _rows "${_table}")
if(NOT _rows)
  message(FATAL_ERROR "${TABLE}: no rows")
endif()

# A C type as cwrap takes it: a C string crosses as a string, void as nothing, all else a number.
function(_cyclar_js_type type out)
  string(STRIP "${type}" type)
  if(type STREQUAL "const char*")
    set(${out} "'string'" PARENT_SCOPE)
  elseif(type STREQUAL "void")
    set(${out} "null" PARENT_SCOPE)
  elseif(type STREQUAL "")
    message(FATAL_ERROR "${TABLE}: a parameter without a type")
  else()
    set(${out} "'number'" PARENT_SCOPE)
  endif()
endfunction()

set(_exports "")
set(_wrappers "")
set(_names "")
foreach(_row IN LISTS _rows)
  if(NOT _row MATCHES "^CYCLAR_WEB_API\\( *([a-z0-9_]+) *, *([^,(]+) *, *\\(([^()]*)\\) *\\)$")
    message(FATAL_ERROR "${TABLE}: cannot read the row ${_row}")
  endif()
  set(_name ${CMAKE_MATCH_1})
  set(_result ${CMAKE_MATCH_2})
  set(_parameters ${CMAKE_MATCH_3})
  if(NOT _name MATCHES "^cyclar_")
    message(FATAL_ERROR "${TABLE}: ${_name} does not start with cyclar_")
  endif()
  if(_name IN_LIST _names)
    message(FATAL_ERROR "${TABLE}: ${_name} is listed twice")
  endif()
  list(APPEND _names ${_name})
  # cyclar_scene_build -> sceneBuild
  string(REGEX REPLACE "^cyclar_" "" _js ${_name})
  while(_js MATCHES "_([a-z0-9])")
    string(TOUPPER ${CMAKE_MATCH_1} _upper)
    string(REGEX REPLACE "_${CMAKE_MATCH_1}" "${_upper}" _js ${_js})
  endwhile()
  _cyclar_js_type("${_result}" _result_js)
  set(_args "")
  string(STRIP "${_parameters}" _parameters)
  if(NOT _parameters STREQUAL "")
    string(REPLACE "," ";" _parameters "${_parameters}")
    foreach(_parameter IN LISTS _parameters)
      _cyclar_js_type("${_parameter}" _arg)
      list(APPEND _args ${_arg})
    endforeach()
  endif()
  list(JOIN _args ", " _args)
  string(APPEND _exports "_${_name}\n")
  string(APPEND _wrappers "        ${_js}: w('${_name}', ${_result_js}, [${_args}]),\n")
endforeach()

set(_js_text "// Made by the build from web/api_table.inc, the module's table of exported functions: each
// function wrapped for the page under its name less \"cyclar_\", in camel case.
export function bindApi(module) {
    const w = (name, result, args) => module.cwrap(name, result, args);
    return {
${_wrappers}    };
}
")
# Written only when changed, so that what depends on them is not made again for nothing.
foreach(_pair "EXPORTS;_exports" "WRAPPERS;_js_text")
  list(GET _pair 0 _file)
  list(GET _pair 1 _text)
  file(WRITE ${${_file}}.new "${${_text}}")
  file(COPY_FILE ${${_file}}.new ${${_file}} ONLY_IF_DIFFERENT)
  file(REMOVE ${${_file}}.new)
endforeach()
