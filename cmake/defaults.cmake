# Language level, default build type, warnings and floating-point contraction
# shared by the main and the fuzz build.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()
add_compile_options(-Wall -Wextra)
# Every a * b + c is rounded twice, as written. GCC fuses it into one FMA
# instruction by default where the target has one (aarch64, armhf with VFPv4),
# even in ISO C++ mode, while the x86-64 baseline has no FMA: the device would
# then compute other ΔE values and chart pixels than the development machine.
# This flag alone keeps the results bit-identical across the two; nothing else
# that changes floating-point semantics is set.
add_compile_options(-ffp-contract=off)
