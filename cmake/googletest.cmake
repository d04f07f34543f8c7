# GoogleTest for the tests and for the parts of the harness (tests/support)
# that report to it, its targets seen from every folder (GLOBAL).
#
# GoogleTest as the system has it installed. A cross-build for a system that
# has no GoogleTest package builds it from the sources Debian's googletest
# package ships.
find_package(GTest QUIET GLOBAL)
if(NOT GTest_FOUND)
    set(DWELLMARK_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources, for a target without a package")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(${DWELLMARK_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
    if(NOT TARGET GTest::gtest_main)
        add_library(GTest::gtest ALIAS gtest)
        add_library(GTest::gtest_main ALIAS gtest_main)
        add_library(GTest::gmock ALIAS gmock)
    endif()
endif()
