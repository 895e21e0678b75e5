find_package(GTest REQUIRED)
include(GoogleTest)

# The sanitizer build sets its options in ctest's own environment, so that a
# plain ctest run is the sanitizer run: the tests, their discovery and the
# analyzer processes they start all inherit them. Options already in the
# environment come last and win.
if(ANALYZER_SANITIZE)
  set(SANITIZER_ENV_FILE ${CMAKE_BINARY_DIR}/sanitizer_env.cmake)
  file(WRITE ${SANITIZER_ENV_FILE}
    "set(ENV{ASAN_OPTIONS} \"detect_leaks=1:check_initialization_order=1:strict_init_order=1:malloc_context_size=2:\$ENV{ASAN_OPTIONS}\")\n"
    "set(ENV{UBSAN_OPTIONS} \"print_stacktrace=1:halt_on_error=1:\$ENV{UBSAN_OPTIONS}\")\n"
    "set(ENV{LSAN_OPTIONS} \"suppressions=${CMAKE_SOURCE_DIR}/cmake/lsan.supp:\$ENV{LSAN_OPTIONS}\")\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${SANITIZER_ENV_FILE})
endif()

# The emulated framebuffer that device-mode runs preload (tests/fbdev_emu.cpp).
# Built without sanitizers: it is loaded into every program such a run starts.
add_library(fbdev_emu SHARED ${CMAKE_SOURCE_DIR}/tests/fbdev_emu.cpp)
target_compile_options(fbdev_emu PRIVATE -fno-sanitize=all)
target_link_options(fbdev_emu PRIVATE -fno-sanitize=all)
target_link_libraries(fbdev_emu PRIVATE dl)
# The file system steps of a run, logged or cut short (tests/fs_steps.cpp).
add_library(fs_steps SHARED ${CMAKE_SOURCE_DIR}/tests/fs_steps.cpp)
target_compile_options(fs_steps PRIVATE -fno-sanitize=all)
target_link_options(fs_steps PRIVATE -fno-sanitize=all)
target_link_libraries(fs_steps PRIVATE dl)

# What the tests share, compiled once: helpers, and where the programs and
# the build's artwork are.
add_library(test_support STATIC ${CMAKE_SOURCE_DIR}/tests/test_support.cpp)
target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(test_support PUBLIC analyzer_draw GTest::gtest)
target_compile_definitions(test_support PUBLIC
  ANALYZER_BIN="$<TARGET_FILE:analyzer>"
  ANALYZER_RESULTS_BIN="$<TARGET_FILE:analyzer-results>"
  ANALYZER_SIMULATE_BIN="${CMAKE_BINARY_DIR}/tools/analyzer-simulate"
  ANALYZER_BUILD_ROOT="${ANALYZER_BUILD_ROOT}"
  ANALYZER_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  FBDEV_EMU_LIB="$<TARGET_FILE:fbdev_emu>"
  FS_STEPS_LIB="$<TARGET_FILE:fs_steps>")

# One test executable per file under tests/, so a module's tests build and run alone.
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/test_*.cpp)
list(FILTER TEST_SOURCES EXCLUDE REGEX ".*/tests/test_support\\.cpp$")
foreach(src ${TEST_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE test_support GTest::gtest_main)
  add_dependencies(${name} analyzer analyzer-results analyzer-summary-png artwork fbdev_emu fs_steps)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "ECORE_NO_SYSTEM_MODULES=1" TIMEOUT 120)
  # The sanitizer build also runs each test program whole, in one process, so
  # that state one test leaves behind is checked in the tests after it. The
  # programs that only drive the analyzer in child processes carry no such
  # state and are left out.
  if(ANALYZER_SANITIZE AND NOT name MATCHES "^test_(app|device|faults|report)$")
    add_test(NAME ${name}.whole COMMAND ${name})
    set_tests_properties(${name}.whole PROPERTIES ENVIRONMENT "ECORE_NO_SYSTEM_MODULES=1" TIMEOUT 600)
  endif()
endforeach()

# The evaluation library links no toolkit library: neither in what it asks
# for nor in a program built on it alone.
get_target_property(EVAL_LINKS analyzer_eval INTERFACE_LINK_LIBRARIES)
if(EVAL_LINKS MATCHES "efl|elementary|evas|ecore|eina")
  message(FATAL_ERROR "analyzer_eval links the toolkit: ${EVAL_LINKS}")
endif()
add_test(NAME EvaluationLinksNoToolkit
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:analyzer-simulate> -P ${CMAKE_SOURCE_DIR}/cmake/check_no_toolkit.cmake)
add_test(NAME ResultsLinksNoToolkit
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:analyzer-results> -P ${CMAKE_SOURCE_DIR}/cmake/check_no_toolkit.cmake)
# The chart geometry builds on the evaluation alone: its headers include no
# toolkit header (the program would not compile) and it links no toolkit.
add_test(NAME GeometryLinksNoToolkit
  COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:analyzer-geometry> -P ${CMAKE_SOURCE_DIR}/cmake/check_no_toolkit.cmake)

# `cmake --install` lays out the device tree: the programs beside the artwork
# and the font under /usr/local/app.
add_test(NAME InstallTree.ProgramsBesideTheirDataUnderUsrLocalApp
  COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DDESTDIR=${CMAKE_BINARY_DIR}/install-test
          -DBUILD_ROOT=${ANALYZER_BUILD_ROOT}
          "-DPROGRAMS=analyzer;analyzer-summary-png$<$<TARGET_EXISTS:analyzer-results>:;analyzer-results>"
          -P ${CMAKE_SOURCE_DIR}/cmake/check_install.cmake)

# samples/samples.list, which every script reads, holds every sample with the
# target and display it was made with, as samples/README.md shows them.
add_test(NAME Samples.ListedAsMadeAndShown
  COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-samples.sh ${CMAKE_BINARY_DIR})

# The Debian package (cpack) unpacked into a fresh root: the device tree, its
# dependencies, and one job run from it. The whole program cross-built for
# aarch64 and armhf and run under qemu-user against this build: records,
# console output, captures, device mode, the evaluation, the arm64 package and
# the device booted on Debian's ARM kernels (scripts/device-check.sh). Labelled "device-cpu": scripts/test.sh runs it
# on its own after the other tests, as it installs the cross compilers and
# uses both cores. The sanitizer build leaves both out (its programs link the
# sanitizer runtimes, which no device package provides).
if(NOT ANALYZER_SANITIZE)
  add_test(NAME Package.DebHoldsTheDeviceTreeAndRunsAJob
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_BINARY_DIR} ${CMAKE_BINARY_DIR}/package-test)
  set_tests_properties(Package.DebHoldsTheDeviceTreeAndRunsAJob PROPERTIES TIMEOUT 120)
  add_test(NAME DeviceCpu.WholeProgramOnAarch64AndArmhf
    COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/device-check.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(DeviceCpu.WholeProgramOnAarch64AndArmhf PROPERTIES LABELS device-cpu TIMEOUT 1200)
endif()
