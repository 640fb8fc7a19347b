# Cross-compiles for 64-bit Windows (cmake/mingw.cmake) and runs the programs under Wine's 64-bit
# loader itself. Debian's `wine` starts the 32-bit loader first whenever wine32 is installed, and
# fails where the kernel cannot run 32-bit programs; its wine64 package puts the loader in
# /usr/lib/wine, off PATH.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZRK_WINE_LOADER wine64)
set(ZRK_WINE_LOADER_PATHS /usr/lib/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
