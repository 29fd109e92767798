# Host tests: one GoogleTest program per subsystem, linked against the parts,
# the test build of the host back end (fault injection on) and the tests'
# support: whole-file reads and writes, and the runner of the host updater
# and of Windows programs under Wine.
if(NOT UPDATER_TARGET STREQUAL "windows")
  find_package(GTest REQUIRED)
  include(GoogleTest)

  add_library(updater_test_support STATIC
    ${PROJECT_SOURCE_DIR}/tests/support/host_files.cpp
    ${PROJECT_SOURCE_DIR}/tests/wine/runner.cpp)
  target_include_directories(updater_test_support PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_definitions(updater_test_support PUBLIC
    UPDATER_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    UPDATER_HOST_UPDATER="${UPDATER_DIST_DIR}/host/updater"
    UPDATER_WINDOWS_EXE="${UPDATER_DIST_DIR}/windows/UpDate.exe"
    UPDATER_WINDOWS_BIN="${UPDATER_WINDOWS_BIN}")
  # forkpty, for updaters whose boxes wait on a terminal.
  target_link_libraries(updater_test_support PUBLIC util)
  if(UPDATER_TARGET STREQUAL "host")
    # Whole runs start the host updater on sample installations.
    target_compile_definitions(updater_test_support PUBLIC
      UPDATER_MAKE_INSTALLATION="$<TARGET_FILE:make_installation>")
    add_dependencies(updater_test_support make_installation updater)
  endif()
  updater_warnings(updater_test_support)
endif()

function(updater_gtest_program name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE updater_test_support updater_parts
    updater_platform_host_testing GTest::gtest GTest::gtest_main GTest::gmock)
  updater_warnings(${name})
endfunction()

function(updater_host_test name)
  updater_gtest_program(${name} ${ARGN})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS host)
endfunction()

# A GoogleTest program whose tests also run Windows programs under Wine
# (through scripts/wine.sh): its tests run one at a time, after wine.setup.
function(updater_host_wine_test name)
  updater_gtest_program(${name} ${ARGN})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS wine RUN_SERIAL TRUE
    FIXTURES_REQUIRED wine ENVIRONMENT "UPDATER_WINE_STATE=${UPDATER_WINE_STATE}")
endfunction()

# A Windows program for the tests, placed where the host tests find it.
function(updater_windows_test_program name)
  add_executable(${name} ${ARGN})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${UPDATER_WINDOWS_BIN})
  updater_warnings(${name})
endfunction()

# A libFuzzer target (fuzz build only), run by CTest from a fixed seed for a
# bounded number of inputs (and at most a bounded time), so that a run here
# and a run in CI try the same inputs.
set(UPDATER_FUZZ_SECONDS 30 CACHE STRING "The longest each fuzz target runs in the tests")
set(UPDATER_FUZZ_RUNS 200000 CACHE STRING "How many inputs each fuzz target tries in the tests")
set(UPDATER_FUZZ_SEED 1 CACHE STRING "The seed of the fuzz targets' runs in the tests")
function(updater_fuzz_target name)
  if(NOT UPDATER_TARGET STREQUAL "fuzz")
    return()
  endif()
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE updater_test_support updater_parts
                                        updater_platform_host_testing)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  updater_warnings(${name})
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}.corpus)
  file(MAKE_DIRECTORY ${corpus})
  add_test(NAME fuzz.${name}
    COMMAND ${name} -seed=${UPDATER_FUZZ_SEED} -runs=${UPDATER_FUZZ_RUNS}
            -max_total_time=${UPDATER_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048
            -print_final_stats=1 ${corpus})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz
    ENVIRONMENT "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1")
endfunction()
