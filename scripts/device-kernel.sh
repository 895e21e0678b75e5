#!/usr/bin/env bash
# Makes the booted device's kernel root for ARCH (aarch64 or armhf): Debian's
# kernel package (linux-image-arm64 or linux-image-armmp) and busybox-static,
# fetched and unpacked by scripts/make-sysroot.sh, with the module dependency
# list the package does not ship (depmod, package kmod). Prints its path.
#   scripts/device-kernel.sh ARCH
# Cached beside the sysroots in $ANALYZER_DEVICE_CACHE as kernel-<arch>-<key>,
# the key a hash of the sysroot script, the packages and the machine's Debian
# sources; the one it replaces is removed.
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:?usage: device-kernel.sh aarch64|armhf}
case $arch in
  aarch64) deb_arch=arm64 kernel=linux-image-arm64 ;;
  armhf) deb_arch=armhf kernel=linux-image-armmp ;;
  *) echo "device-kernel: unknown architecture $arch" >&2; exit 2 ;;
esac
cache=${ANALYZER_DEVICE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/analyzer-device}
mkdir -p "$cache"
exec {lock}>"$cache/$arch-kernel.lock"
flock "$lock"
sources=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/* 2>/dev/null || true)
key=$( { cat scripts/make-sysroot.sh; echo "$deb_arch $kernel busybox-static $sources"; } | sha256sum | cut -c1-16)
root=$cache/kernel-$arch-$key
if [ ! -d "$root" ]; then
  t0=$SECONDS
  rm -rf "$cache/kernel-$arch-"*
  bash scripts/make-sysroot.sh "$deb_arch" "$root.tmp" "$kernel" busybox-static >&2
  depmod -b "$root.tmp" "$(ls "$root.tmp/usr/lib/modules")"
  mv "$root.tmp" "$root"
  echo "device-kernel: $arch kernel $(ls "$root/usr/lib/modules") ready in $((SECONDS - t0)) s" >&2
fi
echo "$root"
