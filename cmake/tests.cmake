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

# One test executable per file under tests/, so a module's tests build and run alone.
file(GLOB TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/test_*.cpp)
list(FILTER TEST_SOURCES EXCLUDE REGEX ".*/tests/test_support\\.cpp$")
foreach(src ${TEST_SOURCES})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src} ${CMAKE_SOURCE_DIR}/tests/test_support.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE analyzer_core GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    ANALYZER_BIN="$<TARGET_FILE:analyzer>"
    ANALYZER_SIMULATE_BIN="${CMAKE_BINARY_DIR}/tools/analyzer-simulate"
    ANALYZER_BUILD_ROOT="${ANALYZER_BUILD_ROOT}"
    ANALYZER_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    FBDEV_EMU_LIB="$<TARGET_FILE:fbdev_emu>")
  add_dependencies(${name} analyzer artwork fbdev_emu)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "ECORE_NO_SYSTEM_MODULES=1" TIMEOUT 120)
endforeach()
