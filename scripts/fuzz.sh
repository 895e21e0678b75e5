#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang into ./build-fuzz (or
# $FUZZ_BUILD_DIR) and runs each for a bounded time from a copy of its seed
# corpus. Exits non-zero when a target crashes or a sanitizer reports.
#   scripts/fuzz.sh [seconds per target, default 60]
# Inputs that failed are kept in <build>/artifacts/; copy them into the seed
# corpus and add a regression case to tests/test_hardening.cpp.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build_dir=${FUZZ_BUILD_DIR:-build-fuzz}

bash scripts/install-deps.sh clang libclang-rt-dev

cmake -S fuzz -B "$build_dir" -DCMAKE_CXX_COMPILER=clang++
cmake --build "$build_dir" -j2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts="$build_dir/artifacts"
mkdir -p "$artifacts"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export ECORE_NO_SYSTEM_MODULES=1

# target name and the longest input worth trying: a test data file of a few
# dozen lines, a command line of a few options, a record's few text fields.
failed=()
for spec in test_data:4096 command_line:512 record:1024; do
  name=${spec%%:*}
  max_len=${spec##*:}
  cp -r "fuzz/corpus/$name" "$work/$name"
  echo "== fuzz_$name: ${seconds} s, max_len $max_len"
  # stdout (the program's console lines) is closed; reports go to stderr.
  if ! "$build_dir/fuzz_$name" "$work/$name" -max_total_time="$seconds" -max_len="$max_len" \
      -timeout=10 -rss_limit_mb=2048 -close_fd_mask=1 -print_final_stats=1 \
      -artifact_prefix="$artifacts/${name}-" 2>"$work/$name.log"; then
    failed+=("$name")
    grep -v '^#[0-9]' "$work/$name.log" | tail -60
  fi
  grep -E '^#[0-9]+' "$work/$name.log" | tail -1 || true
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$work/$name.log" || true
  echo "corpus after the run: $(ls "$work/$name" | wc -l) inputs"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "FUZZ FAILURES: ${failed[*]} (inputs in $artifacts)"
  exit 1
fi
echo "fuzzing: no findings"
