# GoogleTest from Debian's sources, cross-built; tests run under Wine in the run's private prefix.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

set(TAMSEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix CACHE PATH "Private Wine prefix of the test run")
set(TAMSEL_DESKTOP_RUN ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/desktop_run.exe)
configure_file(${CMAKE_SOURCE_DIR}/tests/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)

enable_testing()
include(GoogleTest)

# tamsel_add_test(name SOURCES ... LIBS ... [PROPERTIES ...]): one GoogleTest executable run under
# Wine; PROPERTIES go to each of its tests. They come before ENVIRONMENT, whose list value the
# discovery writes out as separate words.
function(tamsel_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES ${T_PROPERTIES} TIMEOUT 300
    ENVIRONMENT "TAMSEL_BUILD_DIR=${CMAKE_BINARY_DIR};TAMSEL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()

# tamsel_add_program_test(name SOURCES ... LIBS ... [PROPERTIES ...]): one GoogleTest executable
# run whole as a single ctest entry, its tests one after the other in one process. Every program
# has a display and desktop of its own while it runs (the wrapper's lanes), so programs that need
# the keyboard focus, activation or the pointer run beside the others.
function(tamsel_add_program_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;PROPERTIES" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${CMAKE_BINARY_DIR}/wine-run.sh $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 900 FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]"
    ENVIRONMENT "TAMSEL_BUILD_DIR=${CMAKE_BINARY_DIR};TAMSEL_SOURCE_DIR=${CMAKE_SOURCE_DIR}" ${T_PROPERTIES})
endfunction()

# tamsel_add_serial_test(name SOURCES ... LIBS ... [PROPERTIES ...]): the same, run alone
# (RUN_SERIAL): for tests that share state in the Wine prefix no other test may touch at the same
# time (the installed sample product). Properties given to discovered tests do not reach ctest's
# scheduler, so these are not discovered.
function(tamsel_add_serial_test name)
  tamsel_add_program_test(${name} ${ARGN})
  set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
endfunction()

# tamsel_add_heap_checked_test(name program filter): the program's tests matching the GoogleTest
# filter run again under Wine's heap checker: a use of a freed block or a double free is reported
# as "warn:heap", a fault inside a window procedure that Wine swallows as "err:seh".
function(tamsel_add_heap_checked_test name program filter)
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env TAMSEL_WINEDEBUG=warn+heap ${CMAKE_BINARY_DIR}/wine-run.sh
            $<TARGET_FILE:${program}> --gtest_filter=${filter})
  set_tests_properties(${name} PROPERTIES TIMEOUT 300
    FAIL_REGULAR_EXPRESSION "warn:heap;err:seh;\\[  FAILED  \\];\\[  PASSED  \\] 0 tests")
endfunction()
