#!/usr/bin/env bash
# Cross-architecture check of the evaluation: the programs that need no
# toolkit, built for an ARM device and run under qemu-user, must print byte for
# byte what the development machine's build prints, on every sample, a few
# noisy jobs and the fuzz corpus: the evaluation's results and where the
# charts place their marks.
#   scripts/cross-check.sh HOST_BUILD ARCH ARCH_BUILD RUNNER...
# ARCH_BUILD holds the programs built for ARCH (scripts/cross-build.sh),
# RUNNER the command that runs one of them (scripts/qemu-run.sh ARCH SYSROOT).
# scripts/device-check.sh runs it for each architecture. Outputs go to
# HOST_BUILD/cross-out/<arch> and, for the development machine's build,
# HOST_BUILD/cross-out/x86_64-<arch>.
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
cd "$source_dir"
read_samples

# ---- What is compared ----
# Programs cross-built for every architecture.
PROGRAMS=(analyzer-simulate analyzer-results analyzer-geometry)
# Test data files that analyzer-simulate writes on every architecture (the
# files must agree): the samples as samples/samples.list makes them, and noisy
# displays. Output file name, then the options.
SIMULATIONS=()
for name in "${SAMPLES[@]}"; do SIMULATIONS+=("$name.csv ${SAMPLE_OPTIONS[$name]} ${SAMPLE_DISPLAY[$name]}"); done
SIMULATIONS+=(
  "noisy_power.csv -EOTF Power -gamma 2.4 --gamma 2.31 --black 0.08 --shift-x 0.002 --shift-y -0.003 --primary-shift 0.03 --seed 21"
  "noisy_bt1886.csv -EOTF BT.1886 -colorSpace Rec.709 -cct 6300 --gamma 2.47 --white 180 --black 0.3 --primary-shift -0.04 --gamut-white --seed 22"
  "noisy_pq.csv -EOTF PQ -colorSpace BT.2020 --clip 1000 --black 0.005 --eotf-offset 0.012 --shift-x -0.002 --super-white --seed 23"
  "noisy_hlg.csv -EOTF HLG -colorSpace BT.2020 -lum 1000 --white 870 --black 0.02 --shift-y 0.003 --primary-shift 0.02 --seed 24"
  "noisy_ebu.csv -EOTF Power -colorSpace EBU -gamma 2.2 --gamma 2.25 --eotf-offset -0.004 --white 250 --seed 25"
)
# Evaluations compared: the program, then its arguments, run in the source
# folder; @GEN@ is the folder of the simulated files (the x86-64 ones).
# analyzer-results prints the results records: every patch's measured and
# computed values and every verdict, each float to its last bit.
EVALUATIONS=()
for name in "${SAMPLES[@]}"; do EVALUATIONS+=("analyzer-results ${SAMPLE_OPTIONS[$name]} samples/$name.csv"); done
EVALUATIONS+=(
  "analyzer-results -EOTF Power -gamma 2.4 @GEN@/noisy_power.csv"
  "analyzer-results -EOTF BT.1886 -colorSpace Rec.709 -cct 6300 @GEN@/noisy_bt1886.csv"
  "analyzer-results -EOTF PQ -colorSpace BT.2020 @GEN@/noisy_pq.csv"
  "analyzer-results -EOTF HLG -colorSpace BT.2020 -lum 1000 @GEN@/noisy_hlg.csv"
  "analyzer-results -EOTF Power -colorSpace EBU -gamma 2.2 @GEN@/noisy_ebu.csv"
  "analyzer-results -EOTF Power fuzz/corpus/test_data/*"
  "analyzer-results -EOTF BT.1886 -colorSpace Rec.709 fuzz/corpus/test_data/*"
  "analyzer-results -EOTF PQ -colorSpace BT.2020 fuzz/corpus/test_data/*"
  "analyzer-results -EOTF HLG -colorSpace BT.2020 -lum 1000 fuzz/corpus/test_data/*"
)
# Chart geometry compared: a fixed grid of inputs, and every patch of the
# results records above (@RECORDS@: the x86-64 outputs of EVALUATIONS, so
# that every build places the same numbers).
GEOMETRY=(
  "analyzer-geometry --grid"
  "analyzer-geometry @RECORDS@"
)
[ $# -ge 4 ] || { echo "usage: $0 HOST_BUILD ARCH ARCH_BUILD RUNNER..." >&2; exit 2; }
host_build=$(cd "$1" && pwd)
arch=$2
arch_build=$3
shift 3
out=$host_build/cross-out
ref=$out/x86_64-$arch
records=""
for ((k = 1; k <= ${#EVALUATIONS[@]}; k++)); do records+=" $ref/eval-$k.out"; done

# The program's file in a build folder.
program_in() {
  local dir=$1 name=$2
  for f in "$dir/$name" "$dir/tools/$name"; do
    [ -x "$f" ] && { echo "$f"; return; }
  done
  echo "cross-check: $name not built in $dir" >&2
  return 1
}

# Runs every simulation and evaluation with the programs of one build;
# $1 the output folder, $2 the build folder, the rest the runner (may be empty).
run_all() {
  local dest=$1 dir=$2
  shift 2
  rm -rf "$dest"
  mkdir -p "$dest/gen"
  local i=0 line name prog
  for line in "${SIMULATIONS[@]}"; do
    read -r name line <<<"$line"
    # shellcheck disable=SC2086 # the options are words
    "$@" "$(program_in "$dir" analyzer-simulate)" $line -o "$dest/gen/$name"
  done
  for line in "${EVALUATIONS[@]}" "${GEOMETRY[@]}"; do
    line=${line//@GEN@/$ref/gen}
    line=${line//@RECORDS@/$records}
    read -r prog line <<<"$line"
    i=$((i + 1))
    # shellcheck disable=SC2086 # the arguments are words and globs
    "$@" "$(program_in "$dir" "$prog")" $line >"$dest/eval-$i.out" 2>"$dest/eval-$i.err" ||
      echo "exit status $?" >>"$dest/eval-$i.err"
  done
}

start=$SECONDS
run_all "$ref" "$host_build"
run_all "$out/$arch" "$arch_build" "$@"

failed=0
compared=0
for f in "$ref"/gen/* "$ref"/eval-*; do
  rel=${f#"$ref/"}
  compared=$((compared + 1))
  if ! cmp -s "$f" "$out/$arch/$rel"; then
    failed=$((failed + 1))
    echo "DIFFERS on $arch: $rel ($(diff "$f" "$out/$arch/$rel" | grep -c '^>' || true) of $(wc -l <"$f") lines); first differences (x86-64 <, $arch >):"
    diff "$f" "$out/$arch/$rel" | head -12 || true
  fi
done
echo "$arch evaluation: $((compared - failed)) of $compared outputs identical to x86-64 ($((SECONDS - start)) s)"
[ "$failed" -eq 0 ]
