# Tests of the Windows build, run under Wine by cmake/wine-run.sh.
#
#   zel_build_target_gtest()              build GoogleTest for the target once;
#                                         gives GTest::gtest and GTest::gtest_main
#   zel_wine_tests(<target> [TIMEOUT s] [WORKING_DIRECTORY dir]
#                  [EXTRA_ARGS ...] [PROPERTIES ...])
#                                         register a GoogleTest program's tests
#   zel_wine_program_test(<target>)       register the whole program as one test
#
# ZEL_WINE_TESTS=OFF registers none of these tests, for a build whose programs
# this machine cannot execute (a 32-bit build where only 64-bit code runs):
# everything still builds, and the tests that run on the build machine itself
# (the program files' headers, the pictures) stay.
#
# Every test needs the fixture "zel_wine": one Wine session, started detached
# before the first test and stopped after the last. Without it a test's wine
# starts the wineserver and services itself, they inherit CTest's pipe, and
# CTest waits for them to exit after each test (or for its timeout).
include_guard(GLOBAL)

if(NOT (CMAKE_CROSSCOMPILING AND WIN32) OR NOT CMAKE_CROSSCOMPILING_EMULATOR)
  message(FATAL_ERROR "WineTests.cmake is for the Windows cross build: "
    "configure with the win32 or win64 preset")
endif()

include(GoogleTest)
enable_testing()

option(ZEL_WINE_TESTS "Run the Windows programs' tests under Wine" ON)
set(ZEL_WINE_TEST_TIMEOUT 60 CACHE STRING "Seconds before a test under Wine is killed")
set(ZEL_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources to build for Windows")
# The wrapper with its prefix, for scripts that start Windows programs themselves.
set(ZEL_WINE_RUN ${CMAKE_CROSSCOMPILING_EMULATOR})

# The first start creates the prefix (10-20 s), hence the long timeouts here and
# for discovery below, which runs as ctest starts, before any fixture.
set(_zel_wine_setup_timeout 300)
if(ZEL_WINE_TESTS)
  add_test(NAME zel_wine_session_start COMMAND ${ZEL_WINE_RUN} --start)
  add_test(NAME zel_wine_session_stop COMMAND ${ZEL_WINE_RUN} --stop)
  set_tests_properties(zel_wine_session_start PROPERTIES
    FIXTURES_SETUP zel_wine TIMEOUT ${_zel_wine_setup_timeout})
  set_tests_properties(zel_wine_session_stop PROPERTIES
    FIXTURES_CLEANUP zel_wine TIMEOUT 60)
else()
  message(STATUS "Windows tests under Wine: off (ZEL_WINE_TESTS=OFF); the programs are built")
endif()

function(zel_build_target_gtest)
  if(TARGET gtest)
    return()
  endif()
  set(INSTALL_GTEST OFF CACHE INTERNAL "")
  set(BUILD_GMOCK OFF CACHE INTERNAL "")
  add_subdirectory("${ZEL_GTEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  # Built anew in every Windows build folder; its speed matters to no test.
  target_compile_options(gtest PRIVATE -O0)
  target_compile_options(gtest_main PRIVATE -O0)
  # GoogleTest 1.12 names them GTest::gtest and GTest::gtest_main itself, as
  # find_package(GTest) does for the native build; older sources do not.
  if(NOT TARGET GTest::gtest)
    add_library(GTest::gtest ALIAS gtest)
    add_library(GTest::gtest_main ALIAS gtest_main)
  endif()
endfunction()

function(zel_wine_tests target)
  zel_test_headers(${target})
  if(NOT ZEL_WINE_TESTS)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "TIMEOUT;WORKING_DIRECTORY" "EXTRA_ARGS;PROPERTIES")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT ${ZEL_WINE_TEST_TIMEOUT})
  endif()
  set(wd)
  if(ARG_WORKING_DIRECTORY)
    set(wd WORKING_DIRECTORY "${ARG_WORKING_DIRECTORY}")
  endif()
  # PRE_TEST: the list is read when ctest runs, so building needs no Wine.
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT ${_zel_wine_setup_timeout}
    ${wd}
    EXTRA_ARGS ${ARG_EXTRA_ARGS}
    PROPERTIES FIXTURES_REQUIRED zel_wine TIMEOUT ${ARG_TIMEOUT} ${ARG_PROPERTIES})
endfunction()

function(zel_wine_program_test target)
  zel_test_headers(${target})
  if(NOT ZEL_WINE_TESTS)
    return()
  endif()
  add_test(NAME ${target} COMMAND ${target} --gtest_brief=1)
  set_tests_properties(${target} PROPERTIES FIXTURES_REQUIRED zel_wine TIMEOUT 300)
endfunction()
