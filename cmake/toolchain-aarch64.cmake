# Cross build for a 64-bit ARM device with Debian's g++-aarch64-linux-gnu:
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-aarch64.cmake
# Libraries and headers are looked up in the target's multiarch folders only.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
# The target's libraries and headers: from a copy of the device's root file
# system when one is given (-DCMAKE_SYSROOT=...), else from the cross
# toolchain and Debian's multiarch folders (packages installed as :arm64).
# pkg-config looks only there, so a library missing for the target is
# reported instead of the build machine's being taken.
if(CMAKE_SYSROOT)
  set(CMAKE_FIND_ROOT_PATH ${CMAKE_SYSROOT})
  set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})
  set(_prefix ${CMAKE_SYSROOT})
  set(_emulator_root ${CMAKE_SYSROOT})
else()
  set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /)
  set(_prefix "")
  set(_emulator_root /usr/aarch64-linux-gnu)
endif()
set(ENV{PKG_CONFIG_LIBDIR} "${_prefix}/usr/lib/aarch64-linux-gnu/pkgconfig:${_prefix}/usr/share/pkgconfig")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Programs of this build run on the build machine through qemu-user.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L ${_emulator_root})
