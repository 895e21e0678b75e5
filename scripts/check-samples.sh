#!/usr/bin/env bash
# Checks that samples/samples.list tells the truth: every listed sample is a
# file under samples/ and every file there is listed; analyzer-simulate, given
# the listed target and display, writes each file again byte for byte; and
# samples/README.md shows each sample's commands as the list makes them.
#   scripts/check-samples.sh [build dir, default build]
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
simulate=$(user_path "${1:-build}")/tools/analyzer-simulate
cd "$source_dir"
read_samples
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
errors=0
error() { echo "check-samples: $*" >&2; errors=$((errors + 1)); }

for f in samples/*.csv; do
  name=$(basename "$f" .csv)
  [ -n "${SAMPLE_OPTIONS[$name]+listed}" ] || error "$f is not in samples/samples.list"
done
for name in "${SAMPLES[@]}"; do
  [ -f "samples/$name.csv" ] || { error "samples/$name.csv is listed but missing"; continue; }
  made="analyzer-simulate ${SAMPLE_OPTIONS[$name]} ${SAMPLE_DISPLAY[$name]} -o $name.csv"
  judged="analyzer ${SAMPLE_OPTIONS[$name]} -testFilePath samples/$name.csv"
  # shellcheck disable=SC2086 # the options are words
  "$simulate" ${SAMPLE_OPTIONS[$name]} ${SAMPLE_DISPLAY[$name]} -o "$work/$name.csv" >/dev/null
  cmp -s "$work/$name.csv" "samples/$name.csv" || error "$made does not write samples/$name.csv again"
  grep -qF "\`$made\`" samples/README.md || error "samples/README.md does not show \`$made\`"
  grep -qF "\`$judged\`" samples/README.md || error "samples/README.md does not show \`$judged\`"
done
[ "$errors" -eq 0 ] && echo "check-samples: ${#SAMPLES[@]} samples as listed"
[ "$errors" -eq 0 ]
