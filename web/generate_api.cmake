# Makes, from the table of exported functions (api_table.inc), one module's list of what the
# linker exports and its wrappers for the page (cyclar-api.js, cyclar-desk-api.js): the rows
# named for that module and those for both. Run as
#   cmake -DTABLE=api_table.inc -DMODULE=page -DEXPORTS=out.txt -DWRAPPERS=cyclar-api.js
#         -P generate_api.cmake
cmake_minimum_required(VERSION 3.25)
set(_modules page desk)
if(NOT MODULE IN_LIST _modules)
  message(FATAL_ERROR "generate_api.cmake: MODULE is one of ${_modules}, not '${MODULE}'")
endif()
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
  if(NOT _row MATCHES "^CYCLAR_WEB_API\\( *([a-z]+) *, *([a-z0-9_]+) *, *([^,(]+) *, *\\(([^()]*)\\) *\\)$")
    message(FATAL_ERROR "${TABLE}: cannot read the row ${_row}")
  endif()
  set(_module ${CMAKE_MATCH_1})
  set(_name ${CMAKE_MATCH_2})
  set(_result ${CMAKE_MATCH_3})
  set(_parameters ${CMAKE_MATCH_4})
  if(NOT _module IN_LIST _modules AND NOT _module STREQUAL "both")
    message(FATAL_ERROR "${TABLE}: ${_name} is for the module '${_module}'; the modules are ${_modules} and both")
  endif()
  if(NOT _name MATCHES "^cyclar_")
    message(FATAL_ERROR "${TABLE}: ${_name} does not start with cyclar_")
  endif()
  if(_name IN_LIST _names)
    message(FATAL_ERROR "${TABLE}: ${_name} is listed twice")
  endif()
  list(APPEND _names ${_name})
  if(NOT _module STREQUAL MODULE AND NOT _module STREQUAL "both")
    continue()
  endif()
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

set(_js_text "// Made by the build from web/api_table.inc, the table of exported functions: each function
// of the ${MODULE} module wrapped for the page under its name less \"cyclar_\", in camel case.
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
