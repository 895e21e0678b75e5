#!/usr/bin/env bash
# Installs what is missing, builds, and renders a sample in device mode: EFL's
# framebuffer engine draws into an emulated framebuffer (the test helper
# libfbdev_emu.so serving /dev/fb7 on a plain file), and the program captures
# the report from that framebuffer. No hardware, no kernel module and no
# console switch (ECORE_FB_NO_VT=1) are involved. The captures land under
# out/device-demo/. With --arch, the device's build (scripts/cross-build.sh,
# cached) runs under qemu-user instead of this machine's.
#   scripts/device-demo.sh [--arch aarch64|armhf] [sample] [options...]
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
cd "$source_dir"
arch=""
if [ "${1:-}" = --arch ]; then
  arch=${2:?usage: device-demo.sh [--arch aarch64|armhf] [sample] [options...]}
  shift 2
fi
runner=()
if [ -n "$arch" ]; then
  bash scripts/install-deps.sh g++-aarch64-linux-gnu g++-arm-linux-gnueabihf qemu-user
  build=$(bash scripts/cross-build.sh "$arch" | tail -1)
  runner=(bash scripts/qemu-run.sh "$arch" "$(sed -n 's/^CMAKE_SYSROOT:[A-Z]*=//p' "$build/CMakeCache.txt")")
else
  bash scripts/install-deps.sh
  BUILD_TARGETS="analyzer artwork fbdev_emu" bash scripts/build.sh
  build=$PWD/build
fi
root=$PWD/out/device-demo
device_root "$root" "$build"
sample=$(user_path "${1:-samples/sdr_ideal_power24.csv}")
shift || true
source scripts/fb-emu.sh
fb_emu_env "$build" "$root/fb.raw"
fb_emu_under "${runner[@]}"
env -u ELM_DISPLAY "${fb_env[@]}" ECORE_NO_SYSTEM_MODULES=1 ANALYZER_ROOT="$root" \
  "${fb_cmd[@]}" "$build/analyzer" -testFilePath "$sample" "$@"
echo
echo "Framebuffer: $root/fb.raw (1920 x 1080, 32 bits per pixel, as the screen was left)"
echo "Captures: $root/mnt/mmc-disk4/img/analyzer_data/1.png (dark) and 1_white.png (white)"
