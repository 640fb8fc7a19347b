# What both Windows toolchains share: cross-compiles for CMAKE_SYSTEM_PROCESSOR (set by the file
# that includes this one) with Debian's MinGW-w64 (the "posix" thread model, which has
# std::thread and builds GoogleTest) and runs the target's programs under the Wine loader that
# ZRK_WINE_LOADER names, found on PATH or in ZRK_WINE_LOADER_PATHS.
set(CMAKE_SYSTEM_NAME Windows)

set(ZRK_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER ${ZRK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZRK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZRK_MINGW_TRIPLE}-windres)

# Libraries and headers come from the target's tree only; programs (windres, convert) from the
# host.
set(CMAKE_FIND_ROOT_PATH /usr/${ZRK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Header-only packages of the host that the target can use as they are. A plain variable, so
# that it wins over a build folder's cached path.
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/mingw)

# One self-contained executable each: no libstdc++, libgcc or winpthread DLL to ship.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Tests and test discovery run the programs under Wine, through a wrapper that keeps Wine quiet
# and out of the user's own ~/.wine. The tests are listed when CTest runs them, not when they are
# built: a machine whose kernel cannot run 32-bit programs still builds the 32-bit .zip.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
find_program(ZRK_WINE NAMES ${ZRK_WINE_LOADER} PATHS ${ZRK_WINE_LOADER_PATHS})
if(ZRK_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh ${ZRK_WINE})
endif()
