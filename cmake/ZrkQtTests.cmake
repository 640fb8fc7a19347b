# zrk_discover_qt_tests(TARGET [LABELS ...] [PROPERTIES ...] [VARIANTS name env ...])
#
# Makes each test function of a Qt Test program, and each row of its data table, a CTest test of
# its own, named "Class.function" or "Class.function/row": a failure names its case and
# `ctest -R` runs it alone. As gtest_discover_tests does, the program lists its cases after each
# build (-datatags) into a file that CTest reads. Each VARIANTS pair runs every case once more as
# "name/Class.function..." with one more environment entry ("VAR=value").
function(zrk_discover_qt_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "ENVIRONMENT;LABELS;PROPERTIES;VARIANTS")
  set(ctest_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_tests.cmake")
  add_custom_command(
    TARGET ${target} POST_BUILD
    BYPRODUCTS "${ctest_file}"
    COMMAND "${CMAKE_COMMAND}"
            -D "TEST_EXECUTABLE=$<TARGET_FILE:${target}>"
            -D "CTEST_FILE=${ctest_file}"
            -D "TEST_ENVIRONMENT=${arg_ENVIRONMENT}"
            -D "TEST_LABELS=${arg_LABELS}"
            -D "TEST_PROPERTIES=${arg_PROPERTIES}"
            -D "TEST_VARIANTS=${arg_VARIANTS}"
            -P "${PROJECT_SOURCE_DIR}/cmake/zrk_qt_test_list.cmake"
    VERBATIM)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${ctest_file}")
endfunction()
