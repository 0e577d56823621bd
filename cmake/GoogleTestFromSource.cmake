# GoogleTest and GoogleMock for a cross build, compiled from Debian's sources with the
# project: the system's prebuilt libraries are for the build machine, not the target.
set(MORVEX_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${MORVEX_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest sources in ${MORVEX_GOOGLETEST_SOURCE}: "
                        "install libgtest-dev or set MORVEX_GOOGLETEST_SOURCE")
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${MORVEX_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

foreach(library gtest gtest_main gmock gmock_main)
    # Third-party code: our warning flags and warnings-as-errors are for our own sources.
    set_target_properties(${library} PROPERTIES COMPILE_WARNING_AS_ERROR OFF)
    target_compile_options(${library} PRIVATE -w)
    if(NOT TARGET GTest::${library})
        add_library(GTest::${library} ALIAS ${library})
    endif()
endforeach()
