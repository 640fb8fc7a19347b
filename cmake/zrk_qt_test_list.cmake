# Script of zrk_discover_qt_tests (ZrkQtTests.cmake): writes CTEST_FILE with one add_test per line
# that TEST_EXECUTABLE -datatags prints ("Class function [row]").
cmake_minimum_required(VERSION 3.25)
set(ENV{QT_QPA_PLATFORM} offscreen)
execute_process(COMMAND "${TEST_EXECUTABLE}" -datatags
                OUTPUT_VARIABLE listing RESULT_VARIABLE status ERROR_QUIET TIMEOUT 60)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${TEST_EXECUTABLE} -datatags failed (${status}):\n${listing}")
endif()

# Quoted for the generated file: backslashes, quotes and dollars stay as they are.
function(quoted out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\\\"" text "${text}")
  string(REPLACE "$" "\\$" text "${text}")
  set(${out} "\"${text}\"" PARENT_SCOPE)
endfunction()

# One test of a case: its name, the program's argument that selects it, its environment.
function(add_case name selector environment)
  quoted(q_name "${name}")
  quoted(q_exe "${TEST_EXECUTABLE}")
  quoted(q_selector "${selector}")
  quoted(q_env "${environment}")
  quoted(q_labels "${TEST_LABELS}")
  string(APPEND content "add_test(${q_name} ${q_exe} ${q_selector})\n"
         "set_tests_properties(${q_name} PROPERTIES ENVIRONMENT ${q_env}"
         " LABELS ${q_labels} ${TEST_PROPERTIES})\n")
  set(content "${content}" PARENT_SCOPE)
endfunction()

set(content "")
string(REPLACE ";" "\\;" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^([^ ]+) ([^ ]+)(.*)$")
    continue()
  endif()
  set(name "${CMAKE_MATCH_1}.${CMAKE_MATCH_2}")
  set(selector "${CMAKE_MATCH_2}")
  string(STRIP "${CMAKE_MATCH_3}" row)
  if(NOT row STREQUAL "")
    string(APPEND name "/${row}")
    string(APPEND selector ":${row}")
  endif()
  add_case("${name}" "${selector}" "${TEST_ENVIRONMENT}")
  set(variants ${TEST_VARIANTS})
  while(variants)
    list(POP_FRONT variants variant variant_environment)
    add_case("${variant}/${name}" "${selector}" "${TEST_ENVIRONMENT};${variant_environment}")
  endwhile()
endforeach()
file(WRITE "${CTEST_FILE}" "${content}")
