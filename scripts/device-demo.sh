#!/usr/bin/env bash
# Installs what is missing, builds, and renders a sample in device mode: EFL's
# framebuffer engine draws into an emulated framebuffer (the test helper
# libfbdev_emu.so serving /dev/fb7 on a plain file), and the program captures
# the report from that framebuffer. No hardware, no kernel module and no
# console switch (ECORE_FB_NO_VT=1) are involved. The captures land under
# out/device-demo/.
#   scripts/device-demo.sh [sample] [options...]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
BUILD_TARGETS="analyzer artwork fbdev_emu" bash scripts/build.sh
root=$PWD/out/device-demo
mkdir -p "$root/usr/local/app"
ln -sfn "$PWD/build/root/usr/local/app/image" "$root/usr/local/app/image"
ln -sfn "$PWD/build/root/usr/local/app/font" "$root/usr/local/app/font"
sample=${1:-samples/sdr_ideal_power24.csv}
shift || true
source scripts/fb-emu.sh
fb_emu_env build "$root/fb.raw"
env -u ELM_DISPLAY "${fb_env[@]}" ECORE_NO_SYSTEM_MODULES=1 ANALYZER_ROOT="$root" \
  ./build/analyzer -testFilePath "$PWD/$sample" "$@"
echo
echo "Framebuffer: $root/fb.raw (1920 x 1080, 32 bits per pixel, as the screen was left)"
echo "Captures: $root/mnt/mmc-disk4/img/analyzer_data/1.png (dark) and 1_white.png (white)"
