#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite; then the
# device-CPU check (label "device-cpu") on its own, which installs the ARM
# cross compilers, qemu-user and qemu-system, builds with both cores and boots
# the device; then builds the
# same suite with AddressSanitizer and UndefinedBehaviorSanitizer into
# ./build-asan and runs it there (ANALYZER_TEST_SANITIZE=0 skips that pass).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export ECORE_NO_SYSTEM_MODULES=1
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE device-cpu
# Verbose: its lines per architecture (identical records, largest pixel
# difference, device mode against headless) belong in the log.
ctest --test-dir build --output-on-failure -V -L device-cpu

if [ "${ANALYZER_TEST_SANITIZE:-1}" != 0 ]; then
  # The sanitizer options and leak suppressions come with the build's tests.
  # Line tables are all its reports need: full debug information would
  # only lengthen the build.
  BUILD_DIR=build-asan bash scripts/build.sh -DANALYZER_SANITIZE=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
fi
