#!/usr/bin/env bash
# Installs what is missing, builds, and renders the SDR report of a bundled
# sample headless (--headless --output out/demo). The program's own errors
# show on standard error.
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
cd "$source_dir"
bash scripts/install-deps.sh
BUILD_TARGETS="analyzer analyzer-results artwork" bash scripts/build.sh
out=$PWD/out/demo
sample=$(user_path "${1:-samples/sdr_ideal_power24.csv}")
shift || true
./build/analyzer --headless --output "$out" -testFilePath "$sample" "$@"
echo
echo "Report: $out/1.png (dark), $out/1_white.png (white) and $out/1.json (results record)"
