#!/usr/bin/env bash
# Renders every bundled sample (and a run without a data file) headless with
# two builds and compares both captures' pixels (not their text chunks, which
# the record 1.json shows), the results record 1.json and the console output
# byte for byte; for differing captures how many pixels differ, by how much.
#   scripts/compare-captures.sh BUILD_A BUILD_B
# A build is a folder holding `analyzer` and `root/usr/local/app/{image,font}`
# (a CMake build folder, or a copy of one made before a change).
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
[ $# -eq 2 ] || { echo "usage: $0 BUILD_A BUILD_B" >&2; exit 2; }
build_a=$(user_path "$1")
build_b=$(user_path "$2")
cd "$source_dir"
src=$PWD
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Every sample, and a job whose data file is missing (it saves nothing).
read_samples
jobs=()
for name in "${SAMPLES[@]}"; do jobs+=("$name|${SAMPLE_OPTIONS[$name]} -testFilePath $src/samples/$name.csv"); done
jobs+=("no_data_file|-testFilePath /nonexistent/analyzer_result.csv")

# render BUILD OUT: every job's captures and console output into OUT.
render() {
  local build out name args root
  build=$(cd "$1" && pwd); out=$2; mkdir -p "$out"
  for job in "${jobs[@]}"; do
    name=${job%%|*}; args=${job#*|}
    # The same root path for both builds, so the console lines agree.
    root=$work/root; rm -rf "$root"; device_root "$root" "$build"
    # shellcheck disable=SC2086
    ELM_DISPLAY=buffer ECORE_NO_SYSTEM_MODULES=1 ANALYZER_ROOT=$root "$build/analyzer" $args > "$out/$name.out" 2>/dev/null \
      || echo "exit $?" >> "$out/$name.out"
    for f in 1.png 1_white.png 1.json; do
      cp "$root/mnt/mmc-disk4/img/analyzer_data/$f" "$out/$name-$f" 2>/dev/null || true
    done
  done
}

render "$build_a" "$work/a"
render "$build_b" "$work/b"
# Pixels are compared with png_compare of this tree's build ($PNG_COMPARE),
# which also says how many differ and by how much.
png_compare=${PNG_COMPARE:-$build_b/tools/png_compare}

status=0
for f in "$work"/a/*; do
  g=$work/b/$(basename "$f")
  case $f in
    *.png) line=""; [ -f "$g" ] && line=$("$png_compare" "$f" "$g") || true
           [[ ${line:-} == *" 0 of "* ]] || { echo "${line:-missing: $g}"; false; } ;;
    *) cmp -s "$f" "$g" ;;
  esac || { echo "differs: $(basename "$f")"; status=1; }
done
[ $status -eq 0 ] && echo "identical: $(ls "$work/a" | wc -l) files"
exit $status
