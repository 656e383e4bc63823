# GoogleTest: Debian's prebuilt library natively, built from Debian's source
# package (/usr/src/googletest) for the Windows target.
include(GoogleTest)
if(CMAKE_CROSSCOMPILING)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  set(KWZ_GTEST_MAIN GTest::gtest_main)
  if(NOT TARGET GTest::gtest_main)
    add_library(GTest::gtest_main ALIAS gtest_main)
    add_library(GTest::gmock ALIAS gmock)
  endif()
else()
  find_package(GTest REQUIRED)
  set(KWZ_GTEST_MAIN GTest::gtest_main)
endif()

# kwz_test(NAME SOURCES ... [LIBS ...]): one test executable. Natively each test case
# is its own CTest test; under Wine the executable runs as one test (starting a
# Windows process per case would cost more than the cases themselves).
function(kwz_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  kwz_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} ${KWZ_GTEST_MAIN})
  if(CMAKE_CROSSCOMPILING)
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set_tests_properties(${name} PROPERTIES TIMEOUT 900)
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
