#!/usr/bin/env bash
# Renders every bundled sample with the options that belong to it and keeps
# the two captures of each in OUTDIR/<sample>/. Compare two such folders with
# `cmp` (for example before and after a change) or `diff -r`.
#   scripts/render-samples.sh OUTDIR             headless (ELM_DISPLAY=buffer)
#   scripts/render-samples.sh --device OUTDIR    device mode on the emulated framebuffer
# Uses the build in ./build (or $BUILD_DIR), which must be built.
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
mode=headless
if [ "${1:-}" = --device ]; then
  mode=device
  shift
fi
out=$(user_path "${1:?usage: render-samples.sh [--device] OUTDIR}")
cd "$source_dir"
build=${BUILD_DIR:-build}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
device_root "$work/root" "$build"

env=(ECORE_NO_SYSTEM_MODULES=1 ANALYZER_ROOT="$work/root")
if [ "$mode" = device ]; then
  source scripts/fb-emu.sh
  fb_emu_env "$build" "$work/fb.raw"
  env=(-u ELM_DISPLAY "${env[@]}" "${fb_env[@]}")
else
  env+=(ELM_DISPLAY=buffer)
fi

read_samples
for name in "${SAMPLES[@]}"; do
  rm -rf "$work/root/mnt"
  # shellcheck disable=SC2086  # the options are words
  if ! env "${env[@]}" "$build/analyzer" ${SAMPLE_OPTIONS[$name]} -testFilePath "$PWD/samples/$name.csv" \
      >"$work/$name.log" 2>&1; then
    echo "$name: the run failed" >&2
    cat "$work/$name.log" >&2
    exit 1
  fi
  mkdir -p "$out/$name"
  cp "$work/root/mnt/mmc-disk4/img/analyzer_data/"{1.png,1_white.png} "$out/$name/"
  echo "$name: $out/$name/1.png, 1_white.png"
done
