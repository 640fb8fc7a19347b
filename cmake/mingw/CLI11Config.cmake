# CLI11 for the Windows build: Debian's header-only package seen through its own folder, so that
# the host's /usr/include never reaches the cross compiler.
if(NOT TARGET CLI11::CLI11)
  find_path(ZRK_CLI11_HEADERS CLI/CLI.hpp PATHS /usr/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(NOT ZRK_CLI11_HEADERS)
    set(CLI11_FOUND FALSE)
    return()
  endif()
  set(_zrk_cli11_copy ${CMAKE_BINARY_DIR}/cli11/include)
  file(COPY ${ZRK_CLI11_HEADERS}/CLI DESTINATION ${_zrk_cli11_copy})
  add_library(CLI11::CLI11 INTERFACE IMPORTED)
  set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_zrk_cli11_copy})
endif()
set(CLI11_FOUND TRUE)
