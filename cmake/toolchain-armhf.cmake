# Cross build for a 32-bit ARM device with Debian's g++-arm-linux-gnueabihf:
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-armhf.cmake
# Debian's armhf default is ARMv7-A with VFPv3-D16, which has no fused
# multiply-add. The build asks for NEON with VFPv4 (Cortex-A7 and later, the
# cores such devices carry), whose vfma is what GCC contracts a * b + c into,
# so the device build meets the same rounding question as aarch64. Set
# ANALYZER_ARMHF_FPU to vfpv3-d16 for Debian's own baseline.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(ANALYZER_ARMHF_FPU neon-vfpv4 CACHE STRING "FPU of the armhf device (-mfpu)")
set(CMAKE_CXX_FLAGS_INIT "-mfpu=${ANALYZER_ARMHF_FPU} -mfloat-abi=hard")
# The target's libraries and headers: from a copy of the device's root file
# system when one is given (-DCMAKE_SYSROOT=...), else from the cross
# toolchain and Debian's multiarch folders (packages installed as :armhf).
# pkg-config looks only there, so a library missing for the target is
# reported instead of the build machine's being taken.
if(CMAKE_SYSROOT)
  set(CMAKE_FIND_ROOT_PATH ${CMAKE_SYSROOT})
  set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})
  set(_prefix ${CMAKE_SYSROOT})
  set(_emulator_root ${CMAKE_SYSROOT})
else()
  set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf /)
  set(_prefix "")
  set(_emulator_root /usr/arm-linux-gnueabihf)
endif()
set(ENV{PKG_CONFIG_LIBDIR} "${_prefix}/usr/lib/arm-linux-gnueabihf/pkgconfig:${_prefix}/usr/share/pkgconfig")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Programs of this build run on the build machine through qemu-user.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -L ${_emulator_root})
