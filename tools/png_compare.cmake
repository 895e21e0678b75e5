# png_compare: two PNG captures' pixels within a tolerance and their text
# chunks byte for byte (the captures compared across builds and CPUs).
if(NOT ANALYZER_EVAL_ONLY)
  add_executable(png_compare ${CMAKE_CURRENT_LIST_DIR}/png_compare.cpp)
  target_link_libraries(png_compare PRIVATE analyzer_archive)
  set_target_properties(png_compare PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
endif()
