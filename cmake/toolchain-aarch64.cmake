# Cross build for a 64-bit ARM device with Debian's g++-aarch64-linux-gnu:
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-aarch64.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(ANALYZER_DEB_ARCH arm64)
set(ANALYZER_TRIPLE aarch64-linux-gnu)
set(ANALYZER_QEMU qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-debian-cross.cmake)
