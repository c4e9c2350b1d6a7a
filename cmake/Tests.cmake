# GoogleTest for the build's target, and one way to register a test executable.
include_guard(GLOBAL)
include(GoogleTest)

if(CMAKE_CROSSCOMPILING AND WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/WineTests.cmake)
  zel_build_target_gtest()
  add_library(zel_gtest_main INTERFACE)
  target_link_libraries(zel_gtest_main INTERFACE gtest_main)
  # The portable logic's tests, whose every case the Linux builds run one by
  # one already: under Wine each program runs whole, as one test, since every
  # start of a Windows program there costs a good part of a second.
  function(zel_add_gtest target)
    zel_wine_program_test(${target})
  endfunction()
else()
  find_package(GTest REQUIRED)
  add_library(zel_gtest_main INTERFACE)
  target_link_libraries(zel_gtest_main INTERFACE GTest::gtest_main)
  function(zel_add_gtest target)
    zel_test_headers(${target})
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES TIMEOUT 60)
  endfunction()
endif()

# The headers every test source includes, compiled once per test program
# rather than once per source: GoogleTest's and, on Windows, the system's are
# most of what each test source costs to compile.
function(zel_test_headers target)
  set(headers <gtest/gtest.h> <string> <string_view> <vector> <optional> <filesystem>)
  if(WIN32)
    list(APPEND headers <windows.h>)
  endif()
  target_precompile_headers(${target} PRIVATE ${headers})
endfunction()

# A test program's own sources are compiled without optimisation: GoogleTest's
# macros make large functions that take the optimiser long, and every build
# compiles them anew, while the code under test keeps the build's flags.
if(NOT MSVC)
  target_compile_options(zel_gtest_main INTERFACE -O0)
endif()
