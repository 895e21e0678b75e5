#!/usr/bin/env bash
# Benchmarks the analyzer: whole runs on the samples, headless and in device
# mode on the emulated framebuffer (wall time, CPU time and its phases, peak
# memory, capture sizes), the evaluation alone, the capture's PNG encoding
# under other settings, the device-mode capture read against headless, the
# instructions of a whole run, and analyzer-results over an archive of 10,000 jobs.
#
#   bash bench/run.sh [RUNS]        RUNS per sample, default 7
#   BUILD_DIR=dir bash bench/run.sh build directory, default build-bench
#
# Run it on an idle machine: the load average is printed before and after.
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-7}
build=${BUILD_DIR:-build-bench}

bash scripts/install-deps.sh libbenchmark-dev python3 time

if ! grep -q '^ANALYZER_BENCH:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DANALYZER_BENCH=ON >/dev/null
fi
cmake --build "$build" -j2 --target analyzer analyzer-results artwork analyzer-simulate bench_evaluate bench_png bench_capture fbdev_emu >/dev/null

echo "## Machine"
echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
echo "cores: $(nproc); CPU: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
echo "memory: $(free -m | awk '/^Mem:/ {print $2 " MiB"}')"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echo

samples=$PWD/samples
captures=$(mktemp -d)
trap 'rm -rf "$captures"' EXIT
echo "## Whole runs, headless and in device mode (emulated framebuffer), interleaved"
python3 bench/measure_run.py --build "$build" --runs "$runs" --keep "$captures" --quiet-wait 10 \
  --modes headless,device \
  "sdr_ideal_power24=-EOTF Power -gamma 2.4 -testFilePath $samples/sdr_ideal_power24.csv" \
  "sdr_ideal_bt1886=-EOTF BT.1886 -colorSpace Rec.709 -testFilePath $samples/sdr_ideal_bt1886.csv" \
  "sdr_gamma22_vs24=-EOTF Power -gamma 2.4 -testFilePath $samples/sdr_gamma22_vs24.csv" \
  "sdr_no_data_file=-EOTF Power -gamma 2.4 -testFilePath $captures/none.csv" \
  "pq_ideal_600=-EOTF PQ -colorSpace BT.2020 -testFilePath $samples/pq_ideal_600.csv" \
  "hlg_ideal=-EOTF HLG -colorSpace BT.2020 -lum 1000 -testFilePath $samples/hlg_ideal.csv"
echo

echo "## Evaluation only (evaluate_measure, no drawing)"
"$build/bench/bench_evaluate" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
  --benchmark_color=false 2>&1 | grep -E '^(Benchmark|-|evaluate_measure/[0-9]+_median)'
echo

echo "## Capture encoding of the sdr_ideal_power24 captures"
"$build/bench/bench_png" "$captures/sdr_ideal_power24_headless/1.png" "$captures/sdr_ideal_power24_headless/1_white.png"
echo

echo "## The capture read from the framebuffer (device) against from memory (headless)"
"$build/bench/bench_capture" "$captures/sdr_ideal_power24_headless/1.png" 31
echo

echo "## Instructions of one whole run and of every process it causes"
bash bench/instructions.sh "$build"
echo

echo "## analyzer-results over 10,000 archived jobs, one process, one core"
bash bench/results_archive.sh "$build"
echo
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
