#!/usr/bin/env bash
# Renders every bundled sample with the options that belong to it and keeps
# the two captures of each in OUTDIR/<sample>/. Compare two such folders with
# `cmp` (for example before and after a change) or `diff -r`.
#   scripts/render-samples.sh OUTDIR             headless (ELM_DISPLAY=buffer)
#   scripts/render-samples.sh --device OUTDIR    device mode on the emulated framebuffer
# Uses the build in ./build (or $BUILD_DIR), which must be built.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=headless
if [ "${1:-}" = --device ]; then
  mode=device
  shift
fi
out=${1:?usage: render-samples.sh [--device] OUTDIR}
build=${BUILD_DIR:-build}
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/root/usr/local/app"
ln -s "$PWD/$build/root/usr/local/app/image" "$work/root/usr/local/app/image"
ln -s "$PWD/$build/root/usr/local/app/font" "$work/root/usr/local/app/font"

env=(ECORE_NO_SYSTEM_MODULES=1 ANALYZER_ROOT="$work/root")
if [ "$mode" = device ]; then
  source scripts/fb-emu.sh
  fb_emu_env "$build" "$work/fb.raw"
  env=(-u ELM_DISPLAY "${env[@]}" "${fb_env[@]}")
else
  env+=(ELM_DISPLAY=buffer)
fi

while read -r name options; do
  rm -rf "$work/root/mnt"
  # shellcheck disable=SC2086  # the options are words
  if ! env "${env[@]}" "$build/analyzer" $options -testFilePath "$PWD/samples/$name.csv" \
      >"$work/$name.log" 2>&1; then
    echo "$name: the run failed" >&2
    cat "$work/$name.log" >&2
    exit 1
  fi
  mkdir -p "$out/$name"
  cp "$work/root/mnt/mmc-disk4/img/analyzer_data/"{1.png,1_white.png} "$out/$name/"
  echo "$name: $out/$name/1.png, 1_white.png"
done <<'EOF'
sdr_ideal_power24 -EOTF Power -gamma 2.4
sdr_ideal_bt1886 -EOTF BT.1886 -colorSpace Rec.709
sdr_gamma22_vs24 -EOTF Power -gamma 2.4
pq_ideal_600 -EOTF PQ -colorSpace BT.2020
hlg_ideal -EOTF HLG -colorSpace BT.2020 -lum 1000
EOF
