# Shared part of the mingw-w64 toolchains: set MORVEX_MINGW_TRIPLE, then include this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The -posix thread model: GoogleTest needs std::mutex, which the win32 model lacks.
set(CMAKE_C_COMPILER ${MORVEX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVEX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVEX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MORVEX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Small programs that stand alone: each function and datum in its own section and unused
# ones dropped at link time; no libgcc, libstdc++ or winpthread DLLs to ship beside them;
# symbols stripped from optimised builds.
set(CMAKE_C_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
set(CMAKE_EXE_LINKER_FLAGS_MINSIZEREL_INIT "-s")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")

# Header-only libraries of the build machine (CLI11, nlohmann_json), offered to the cross
# build without the rest of /usr/include, whose C library headers would shadow mingw-w64's.
set(MORVEX_HOST_HEADER_ONLY_ROOT /usr/include)
set(CLI11_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages/CLI11)
set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/cross-packages/nlohmann_json)

# Programs that run during the build (the resource script generator) use this compiler.
set(MORVEX_HOST_CXX c++ CACHE STRING "The build machine's C++ compiler")
