# Collects the .cpp, .h and .ui files of the given source folders (new files are
# picked up at the next build without editing any list).
function(vogm_glob_sources out)
  set(result)
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS
      ${CMAKE_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_SOURCE_DIR}/${dir}/*.h
      ${CMAKE_SOURCE_DIR}/${dir}/*.ui ${CMAKE_SOURCE_DIR}/${dir}/*.qrc)
    list(APPEND result ${found})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# The address-sanitizer tree checks for leaks; the suppressions name what Qt
# and the system libraries keep for the process (see the files). The thread
# sanitizer keeps its longest history, so that the earlier access of a report
# can be restored and matched against its suppressions.
set(VOGM_SANITIZER_ENV "ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;UBSAN_OPTIONS=print_stacktrace=1;TSAN_OPTIONS=ignore_noninstrumented_modules=1:second_deadlock_stack=1:history_size=7:suppressions=${CMAKE_SOURCE_DIR}/tests/tsan.supp")

# Time budgets: a sanitizer makes a suite several times slower, and more so
# on a loaded machine. CTest's time-out and QTest's per-function watchdog grow
# with the tree (the watchdog never fires before CTest's time-out would).
# The program's own named waits are divided by 10 in the suites; under the
# thread sanitizer, which slows the program five to fifteen times, only by 2,
# so a wait still outlasts the work it waits for (a whole read and the pages'
# fill within the wait popup's time).
if(VOGM_SANITIZE STREQUAL "thread")
  set(VOGM_TIME_FACTOR 6)
  set(VOGM_TEST_WAIT_DIVISOR 2)
elseif(VOGM_SANITIZE)
  set(VOGM_TIME_FACTOR 3)
  set(VOGM_TEST_WAIT_DIVISOR 10)
else()
  set(VOGM_TIME_FACTOR 1)
  set(VOGM_TEST_WAIT_DIVISOR 10)
endif()

# vogm_add_test(name SOURCES a.cpp ... [LIBS lib ...] [ENV K=V ...] [TIMEOUT s])
# Every test runs offscreen with its own HOME and XDG_DATA_HOME (made by the
# test-support library), the application folder pointed at the staged data.
function(vogm_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE testsupport Qt5::Test ${T_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/bin
    BUILD_RPATH "${VOGM_STAGE_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  math(EXPR timeout "${T_TIMEOUT} * ${VOGM_TIME_FACTOR}")
  math(EXPR watchdog_ms "${timeout} * 1000")
  set_tests_properties(${name} PROPERTIES TIMEOUT ${timeout}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VOGM_APP_DIR=${VOGM_STAGE_DIR};VOGM_WAIT_DIVISOR=${VOGM_TEST_WAIT_DIVISOR};VOGM_TEST_TIME_FACTOR=${VOGM_TIME_FACTOR};QTEST_FUNCTION_TIMEOUT=${watchdog_ms};${VOGM_SANITIZER_ENV};${T_ENV}")
endfunction()
