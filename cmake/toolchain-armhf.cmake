# Cross build for a 32-bit ARM device with Debian's g++-arm-linux-gnueabihf:
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake
# Debian's armhf default is ARMv7-A with VFPv3-D16, which has no fused
# multiply-add. The build asks for NEON with VFPv4 (Cortex-A7 and later, the
# cores such devices carry), whose vfma is what GCC contracts a * b + c into,
# so the device build meets the same rounding question as aarch64. Set
# ANALYZER_ARMHF_FPU to vfpv3-d16 for Debian's own baseline.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(ANALYZER_DEB_ARCH armhf)
set(ANALYZER_TRIPLE arm-linux-gnueabihf)
set(ANALYZER_QEMU qemu-arm)
set(ANALYZER_ARMHF_FPU neon-vfpv4 CACHE STRING "FPU of the armhf device (-mfpu)")
# -Wno-psabi: GCC notes on every std::initializer_list argument that its
# passing changed in GCC 7.1, which matters only when linking code built by
# older compilers.
set(CMAKE_CXX_FLAGS_INIT "-mfpu=${ANALYZER_ARMHF_FPU} -mfloat-abi=hard -Wno-psabi")
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-debian-cross.cmake)
