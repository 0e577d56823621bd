# Cross toolchain: 64-bit Windows with mingw-w64; the tests run under Wine's wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MORVEX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Each build folder gets its own Wine prefix, so builds never share Wine's state.
set(MORVEX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
# tools/wine-exec.sh starts a program again when Wine's start fails before the program runs.
get_filename_component(MORVEX_WINE_EXEC ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${MORVEX_WINE_EXEC} ${MORVEX_WINEPREFIX})
