#!/usr/bin/env bash
# Installs what is missing, builds, and renders the SDR report of a bundled
# sample headless. The captures land under out/demo/. The program's own errors
# show on standard error; ECORE_NO_SYSTEM_MODULES=1 keeps the toolkit's
# system-bus modules (and their errors in a container) from loading.
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
cd "$source_dir"
bash scripts/install-deps.sh
BUILD_TARGETS="analyzer analyzer-results artwork" bash scripts/build.sh
root=$PWD/out/demo
device_root "$root" build
sample=$(user_path "${1:-samples/sdr_ideal_power24.csv}")
shift || true
ELM_DISPLAY=buffer ECORE_NO_SYSTEM_MODULES=1 ANALYZER_ROOT="$root" \
  ./build/analyzer -testFilePath "$sample" "$@"
echo
echo "Captures: $root/mnt/mmc-disk4/img/analyzer_data/1.png (dark) and 1_white.png (white)"
