#!/usr/bin/env bash
# analyzer-results over an archive of 10,000 jobs in one process on one
# thread, pinned to one core: jobs per second of CPU and of wall time, for an
# SDR and a PQ archive; then the summary of 100,000 records (the SDR
# archive's records, ten times over, as one JSON Lines file) on one core
# and on all: wall, CPU and peak memory. The jobs come from analyzer-simulate: 1,000 simulated displays
# (display gamma or EOTF offset, white, chromaticity shift and primaries
# varied by job), each archived ten times under its own name.
#
#   bash bench/results_archive.sh BUILD_DIR [RUNS]   RUNS per archive, default 5
set -euo pipefail
build=$1
runs=${2:-5}
simulate=$build/tools/analyzer-simulate
results=$build/analyzer-results
archive=$(mktemp -d)
trap 'rm -rf "$archive"' EXIT

# make_archive NAME TARGET-OPTIONS... : 1,000 displays, ten copies each
# (hard links, one folder per copy).
make_archive() {
  local name=$1
  shift
  mkdir -p "$archive/$name/0"
  for i in $(seq 0 999); do
    local display=(--seed "$i" --shift-x "0.00$((i % 7))" --primary-shift "0.0$((i % 5))")
    if [ "$name" = pq ]; then
      display+=(--clip "$((400 + i % 600))" --eotf-offset "0.00$((i % 9))")
    else
      display+=(--gamma "2.$((2 + i % 5))" --white "$((80 + i % 200))")
    fi
    "$simulate" "$@" "${display[@]}" -o "$archive/$name/0/job$i.csv"
  done
  for k in 1 2 3 4 5 6 7 8 9; do
    cp -al "$archive/$name/0" "$archive/$name/$k"
  done
}

# judge NAME TARGET-OPTIONS... : RUNS timed runs; prints the median.
judge() {
  local name=$1
  shift
  local files=("$archive/$name"/*/*.csv)
  local times=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %U %S" -o "$archive/time" taskset -c 0 "$results" --jobs 1 "$@" "${files[@]}" \
      >"$archive/out.jsonl" 2>/dev/null
    times+=("$(cat "$archive/time")")
  done
  local lines bytes
  lines=$(wc -l <"$archive/out.jsonl")
  bytes=$(wc -c <"$archive/out.jsonl")
  printf '%s\n' "${times[@]}" | python3 -c '
import sys, statistics
name, jobs, out = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
runs = [tuple(map(float, line.split())) for line in sys.stdin]
wall = statistics.median(r[0] for r in runs)
cpu = statistics.median(r[1] + r[2] for r in runs)
best = min(r[1] + r[2] for r in runs)
print(f"| {name} | {jobs} | {wall:.2f} | {cpu:.2f} | {jobs / cpu:,.0f} | {jobs / best:,.0f} | {jobs / wall:,.0f} | {out / jobs / 1000:.1f} |")
' "$name" "$lines" "$bytes"
}

make_archive sdr -EOTF Power -gamma 2.4
make_archive pq -EOTF PQ -colorSpace BT.2020
echo "| archive | jobs | wall s | CPU s (user+sys) | jobs/s of CPU | best run | jobs/s of wall | KB per record |"
echo "|---|---|---|---|---|---|---|---|"
judge sdr -EOTF Power -gamma 2.4
cp "$archive/out.jsonl" "$archive/sdr.jsonl"
judge pq -EOTF PQ -colorSpace BT.2020

# summarise CASE COMMAND... : RUNS timed runs of the summary; prints the median.
summarise() {
  local name=$1
  shift
  local times=()
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %U %S %M" -o "$archive/time" "$@" --summary "$archive/100k.jsonl" >/dev/null 2>&1
    times+=("$(cat "$archive/time")")
  done
  printf '%s\n' "${times[@]}" | python3 -c '
import sys, statistics
runs = [tuple(map(float, line.split())) for line in sys.stdin]
print(f"| {sys.argv[1]} | {statistics.median(r[0] for r in runs):.2f} | {statistics.median(r[1] + r[2] for r in runs):.2f} | {max(r[3] for r in runs) / 1024:.1f} |")
' "$name"
}
for _ in $(seq 10); do cat "$archive/sdr.jsonl"; done >"$archive/100k.jsonl"
echo
echo "| summary of $(wc -l <"$archive/100k.jsonl") records | wall s | CPU s (user+sys) | peak MiB |"
echo "|---|---|---|---|"
summarise "one core, --jobs 1" taskset -c 0 "$results" --jobs 1
summarise "--jobs $(nproc) (default)" "$results"
