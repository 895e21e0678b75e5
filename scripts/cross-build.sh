#!/usr/bin/env bash
# Builds the device programs for ARCH (aarch64 or armhf) against a root file
# system made from Debian's packages (scripts/make-sysroot.sh), and makes the
# Debian package of the build. Prints the build folder's path as its last line.
#   scripts/cross-build.sh ARCH
# Both live in a cache outside the clone, $ANALYZER_DEVICE_CACHE (default
# ${XDG_CACHE_HOME:-~/.cache}/analyzer-device): sysroot-<arch>-<key> and
# build-<arch>-<key>, each key a hash of what it was made from (the sysroot:
# the script, its package list and the machine's Debian sources; the build:
# its sysroot, the sources, the toolchain files and this script). A folder
# whose key no longer matches is rebuilt, and the ones it replaces removed;
# a fresh clone of the same tree reuses the build as it is.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:?usage: cross-build.sh aarch64|armhf}
# Toolchain file suffix, Debian architecture.
case $arch in
  aarch64) deb_arch=arm64 ;;
  armhf) deb_arch=armhf ;;
  *) echo "cross-build: unknown architecture $arch" >&2; exit 2 ;;
esac
# The programs, the artwork, the framebuffer emulator of device-mode runs and
# the tools of the evaluation check; no debug information.
TARGETS=(analyzer analyzer-results analyzer-summary-png artwork fbdev_emu analyzer-simulate analyzer-geometry)
FLAGS="-O2 -DNDEBUG"

cache=${ANALYZER_DEVICE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/analyzer-device}
mkdir -p "$cache"
# One run at a time per architecture on this machine.
exec {lock}>"$cache/$arch.lock"
flock "$lock"

key() { sha256sum | cut -c1-16; }
sources=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null || true)
sysroot_key=$( { cat scripts/make-sysroot.sh; echo "$deb_arch $sources"; } | key)
sysroot=$cache/sysroot-$arch-$sysroot_key
if [ ! -d "$sysroot" ]; then
  rm -rf "$cache/sysroot-$arch-"* "$cache/build-$arch-"*
  bash scripts/make-sysroot.sh "$deb_arch" "$sysroot" >&2
fi

tree_key=$( { echo "$sysroot_key $FLAGS ${TARGETS[*]}"; cat scripts/cross-build.sh
              find CMakeLists.txt cmake src tools data packaging tests/fbdev_emu.cpp -type f | LC_ALL=C sort | xargs sha256sum
              "$(sed -n 's/^set(ANALYZER_TRIPLE \(.*\))$/\1/p' "cmake/toolchain-$arch.cmake")-g++" --version; } | key)
build=$cache/build-$arch-$sysroot_key
if [ "$(cat "$build/built-from" 2>/dev/null)" != "$tree_key" ]; then
  t0=$SECONDS
  # A build folder belongs to one source folder: another clone starts afresh.
  if [ -f "$build/CMakeCache.txt" ] && ! grep -qx "CMAKE_HOME_DIRECTORY:INTERNAL=$PWD" "$build/CMakeCache.txt"; then
    rm -rf "$build"
  fi
  rm -f "$build/built-from"
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$arch.cmake" -DCMAKE_SYSROOT="$sysroot" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$FLAGS" \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" "${TARGETS[@]/#/--target=}" >/dev/null
  rm -f "$build"/analyzer_*.deb
  (cd "$build" && cpack -G DEB >/dev/null)
  echo "$tree_key" >"$build/built-from"
  echo "cross-build: $arch built in $((SECONDS - t0)) s" >&2
fi
echo "$build"
