#!/usr/bin/env bash
# Configures and builds into ./build (or $BUILD_DIR) with the given extra CMake
# options. BUILD_TARGETS, when set, names the only targets to build (the demo
# builds just the programs and the artwork).
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
targets=()
for t in ${BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$build_dir" -j"$(nproc)" "${targets[@]}"
