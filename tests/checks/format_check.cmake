# The C++ sources under git as clang-format (the repository's .clang-format) would write them.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND git ls-files *.cpp *.h WORKING_DIRECTORY ${SOURCE_DIR}
                OUTPUT_VARIABLE files OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
string(REPLACE "\n" ";" files "${files}")
execute_process(COMMAND clang-format --dry-run --Werror ${files} WORKING_DIRECTORY ${SOURCE_DIR}
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "clang-format would change the files above: run clang-format -i on them")
endif()
