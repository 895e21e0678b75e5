# What the device toolchain files share, for Debian's cross compiler of the
# multiarch triple ANALYZER_TRIPLE, run through the qemu-user program
# ANALYZER_QEMU.
#
# The target's libraries and headers: from a copy of the device's root file
# system when one is given (-DCMAKE_SYSROOT=...), else from the cross
# toolchain and Debian's multiarch folders (packages of the target
# architecture). pkg-config looks only there, so a library missing for the
# target is reported instead of the build machine's being taken.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_CXX_COMPILER ${ANALYZER_TRIPLE}-g++)
set(CMAKE_LIBRARY_ARCHITECTURE ${ANALYZER_TRIPLE})
if(CMAKE_SYSROOT)
  set(CMAKE_FIND_ROOT_PATH ${CMAKE_SYSROOT})
  set(ENV{PKG_CONFIG_SYSROOT_DIR} ${CMAKE_SYSROOT})
  set(_prefix ${CMAKE_SYSROOT})
  set(_emulator_root ${CMAKE_SYSROOT})
else()
  set(CMAKE_FIND_ROOT_PATH /usr/${ANALYZER_TRIPLE} /)
  set(_prefix "")
  set(_emulator_root /usr/${ANALYZER_TRIPLE})
endif()
set(ENV{PKG_CONFIG_LIBDIR} "${_prefix}/usr/lib/${ANALYZER_TRIPLE}/pkgconfig:${_prefix}/usr/share/pkgconfig")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Programs of this build run on the build machine through qemu-user.
set(CMAKE_CROSSCOMPILING_EMULATOR ${ANALYZER_QEMU} -L ${_emulator_root})
