# analyzer-geometry: prints where the charts place their marks, from the
# toolkit-free geometry headers; the cross-architecture check compares it.
add_executable(analyzer-geometry ${CMAKE_CURRENT_SOURCE_DIR}/analyzer_geometry.cpp)
target_link_libraries(analyzer-geometry PRIVATE analyzer_eval)
set_target_properties(analyzer-geometry PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)
