#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite; then the
# device-CPU check (label "device-cpu"), which installs the ARM cross
# compilers, qemu-user and qemu-system, builds with both cores and boots the
# device; beside it, the same suite is built with AddressSanitizer and
# UndefinedBehaviorSanitizer into ./build-asan, and then run there
# (ANALYZER_TEST_SANITIZE=0 skips that pass).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export ECORE_NO_SYSTEM_MODULES=1
ctest --test-dir build --output-on-failure -j"$(nproc)" -LE device-cpu

# The device check waits on downloads and emulated devices for much of its
# time, so the sanitizer build runs beside it. Its lines per architecture
# (identical records, largest pixel difference, device mode against
# headless, the booted device) belong in the log: printed whole at its end.
device_log=build/device-check.log
ctest --test-dir build --output-on-failure -V -L device-cpu >"$device_log" 2>&1 &
device_pid=$!
trap 'kill "$device_pid" 2>/dev/null || true' EXIT
sanitize=${ANALYZER_TEST_SANITIZE:-1}
build_status=0
if [ "$sanitize" != 0 ]; then
  # The sanitizer options and leak suppressions come with the build's tests.
  BUILD_DIR=build-asan bash scripts/build.sh -DANALYZER_SANITIZE=ON || build_status=$?
fi
device_status=0
wait "$device_pid" || device_status=$?
trap - EXIT
cat "$device_log"
if [ "$device_status" -ne 0 ]; then
  echo "test.sh: the device check failed (status $device_status)" >&2
  exit "$device_status"
fi
[ "$build_status" -eq 0 ] || exit "$build_status"
if [ "$sanitize" != 0 ]; then
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
fi
