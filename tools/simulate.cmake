# analyzer-simulate: writes test data files of modelled displays.
add_executable(analyzer-simulate ${CMAKE_CURRENT_SOURCE_DIR}/analyzer_simulate.cpp)
target_link_libraries(analyzer-simulate PRIVATE analyzer_eval)
set_target_properties(analyzer-simulate PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

# The report tests run the simulator; building them builds it. The test
# targets are defined after this directory, hence the deferred call.
function(_simulate_tests_depend)
  if(TARGET test_report)
    add_dependencies(test_report analyzer-simulate)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL _simulate_tests_depend)
