# Cross toolchain: 32-bit Windows with mingw-w64, the product's own target. This machine
# cannot run 32-bit code, so this build is compiled and linked only.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(MORVEX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
