# Cross-compiles for 32-bit Windows (cmake/mingw.cmake) and runs the programs under `wine`, which
# starts Wine's 32-bit loader.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ZRK_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
