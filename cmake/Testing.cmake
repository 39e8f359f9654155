# GoogleTest from Debian's sources, and tunewright_add_test(): one test program per topic.
if(NOT TUNEWRIGHT_TESTS)
  return()
endif()
enable_testing()
include(GoogleTest)

if(NOT TARGET gtest)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  foreach(t gtest gtest_main)
    target_compile_options(${t} PRIVATE -w)
  endforeach()
endif()

# How long a Windows test program may take, in seconds, unless it says otherwise: the slowest take about 20 s
# under Wine. A hang ends that test, not the run.
set(TUNEWRIGHT_WINDOWS_TEST_TIMEOUT 120)

# tunewright_add_test(NAME SOURCES... LIBS... [TIMEOUT SECONDS] [HOST_AGENT] [FRESH_PREFIX])
#   HOST_AGENT: the test asks the Linux side for drops and mounts (tests/support/ui/host_agent.py).
#   FRESH_PREFIX: the test runs in a Wine prefix of its own, made for it (10 to 20 s more).
function(tunewright_add_test name)
  cmake_parse_arguments(T "HOST_AGENT;FRESH_PREFIX" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} gtest_main gtest)
  target_compile_definitions(${name} PRIVATE
    TEST_MIDI_DIR="${TUNEWRIGHT_TEST_ROOT}${TUNEWRIGHT_SHARED_DIR}/testdata/midi"
    TEST_OPENMSX_DIR="${TUNEWRIGHT_TEST_ROOT}${TUNEWRIGHT_OPENMSX_DIR}"
    TEST_SOUNDFONT="${TUNEWRIGHT_TEST_ROOT}${TUNEWRIGHT_SOUNDFONT}"
    TEST_SOUNDFONT_FLUID="${TUNEWRIGHT_TEST_ROOT}${TUNEWRIGHT_SOUNDFONT_FLUID}"
    TEST_SOUNDFONT_SF3="${TUNEWRIGHT_TEST_ROOT}${TUNEWRIGHT_SOUNDFONT_SF3}"
    TEST_TEMP_DIR="${TUNEWRIGHT_TEST_ROOT}${CMAKE_BINARY_DIR}/test-temp")
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/test-temp)
  if(WIN32)
    if(NOT T_TIMEOUT)
      set(T_TIMEOUT ${TUNEWRIGHT_WINDOWS_TEST_TIMEOUT})
    endif()
    set(agent)
    if(T_HOST_AGENT)
      set(agent --host-agent)
    endif()
    if(T_FRESH_PREFIX)
      list(APPEND agent --fresh-prefix)
    endif()
    # One Wine process per program (a process per test case costs seconds each), in a copy of the program
    # folder of its own (build/<arch>/test-run/NAME).
    add_test(NAME ${name}
             COMMAND ${CMAKE_SOURCE_DIR}/scripts/lib/run-windows-test ${agent} ${CMAKE_BINARY_DIR}/bin
                     ${CMAKE_BINARY_DIR}/test-run/${name} ${name}.exe)
    set_tests_properties(${name} PROPERTIES LABELS windows TIMEOUT ${T_TIMEOUT})
  else()
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS native TIMEOUT 600)
  endif()
endfunction()

# tunewright_add_tests(LIBS...): every test_*.cpp of the calling folder becomes a test program of its own.
function(tunewright_add_tests)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/test_*.cpp)
  foreach(src ${sources})
    get_filename_component(stem ${src} NAME_WE)
    tunewright_add_test(${stem} SOURCES ${src} LIBS ${T_LIBS})
  endforeach()
endfunction()
