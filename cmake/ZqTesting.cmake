# zq_add_gtest(<target> SOURCES ... LIBS ... [DISPLAY] [SERIAL] [TIMEOUT s]
#              [FIXTURES f1 f2 ...] [LOCKS l1 ...])
# Builds a GoogleTest program and registers each TEST as its own ctest run
# under Wine, in the build's own prefix with the warm wine server.
include(GoogleTest)
function(zq_add_gtest target)
  cmake_parse_arguments(A "DISPLAY;SERIAL" "TIMEOUT" "SOURCES;LIBS;FIXTURES;LOCKS" ${ARGN})
  add_executable(${target} ${A_SOURCES})
  target_link_libraries(${target} PRIVATE ${A_LIBS} gtest gtest_main)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin/tests)
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 120)
  endif()
  gtest_add_tests(TARGET ${target} SOURCES ${A_SOURCES} TEST_LIST _tests
                  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin/tests)
  set(_locks ${A_LOCKS})
  if(A_SERIAL)
    list(APPEND _locks serial_prefix)
  endif()
  set_tests_properties(${_tests} PROPERTIES
    TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "${ZQ_WINE_ENV}"
    FIXTURES_REQUIRED "wine;${A_FIXTURES}"
    LABELS "${target}")
  if(_locks)
    set_tests_properties(${_tests} PROPERTIES RESOURCE_LOCK "${_locks}")
  endif()
  if(A_DISPLAY)
    set_property(TEST ${_tests} APPEND PROPERTY LABELS display)
  endif()
endfunction()

# zq_add_script_test(<name> COMMAND ... [TIMEOUT s] [FIXTURES ...] [LOCKS ...])
# A Linux-side test driver (python or shell) that runs Windows programs itself.
function(zq_add_script_test name)
  cmake_parse_arguments(A "" "TIMEOUT" "COMMAND;FIXTURES;LOCKS" ${ARGN})
  if(NOT A_TIMEOUT)
    set(A_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${A_COMMAND})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${A_TIMEOUT}
    ENVIRONMENT "${ZQ_WINE_ENV};ZQ_BIN=${CMAKE_BINARY_DIR}/bin;ZQ_SOURCE=${CMAKE_SOURCE_DIR};ZQ_BUILD=${CMAKE_BINARY_DIR}"
    FIXTURES_REQUIRED "wine;${A_FIXTURES}")
  if(A_LOCKS)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK "${A_LOCKS}")
  endif()
endfunction()
