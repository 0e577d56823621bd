# Cross toolchain: 64-bit Windows with mingw-w64; the tests run under Wine's wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MORVEX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)

# Each build folder gets its own Wine prefix, so builds never share Wine's state.
set(MORVEX_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env WINEPREFIX=${MORVEX_WINEPREFIX} WINEDEBUG=-all /usr/lib/wine/wine64)
