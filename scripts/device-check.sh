#!/usr/bin/env bash
# The whole program on the device's CPUs: cross-builds the analyzer, the
# artwork and the framebuffer emulator for aarch64 and armhf
# (scripts/cross-build.sh, cached), runs them under qemu-user and compares
# with the development machine's build:
# - every sample and a run without its data file, headless: the record
#   1.json, the captures' text chunk and standard output byte for byte, every
#   capture pixel within TOLERANCE per channel;
# - DEVICE_JOBS in device mode (the emulated framebuffer): the same, and
#   pixels identical to the same architecture's headless captures;
# - armhf (no NEON in Debian's toolkit) identical to the pixel with the
#   development machine's SIMD switched off;
# - the artwork made under qemu identical to the pixel;
# - the evaluation (scripts/cross-check.sh);
# - the arm64 package unpacked and one job run from it (scripts/check-package.sh);
#   lintian and hardening-check on both packages (scripts/lint-package.sh);
# - the device booted (scripts/device-boot.sh): BOOT_JOB on the real kernel's
#   framebuffer driver, brought up by the program's insmod, with the toolkit's
#   console handling on: the record and console output as on x86-64 (the
#   framebuffer lines, which headless runs do not print, aside), the captures
#   within TOLERANCE of x86-64 and identical to the same architecture's
#   headless ones, and the display's screendump identical to the white
#   capture.
# Both architectures are built (each cached) and checked at once.
#   scripts/device-check.sh [x86-64 build dir, default build]
# Installs the cross compilers and qemu-user when missing. Outputs are kept
# in <build>/device-out/.
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
cd "$source_dir"
src=$PWD
read_samples
host_build=$(cd "${1:-build}" && pwd)
TOLERANCE=8
ARCHES=(aarch64 armhf)
# Name, then the options: every sample, and a job whose data file is missing
# (it saves nothing and ends with status 1 on every architecture).
JOBS=()
for name in "${SAMPLES[@]}"; do JOBS+=("$name ${SAMPLE_OPTIONS[$name]} -testFilePath $src/samples/$name.csv"); done
JOBS+=("no_data_file -testFilePath /nonexistent/analyzer_result.csv")
DEVICE_JOBS=(sdr_ideal_power24 pq_ideal_600)
# The booted device's job: the demo's (scripts/device-boot.sh without a sample).
BOOT_JOB=sdr_ideal_power24
NO_SIMD=(EVAS_CPU_NO_MMX=1 EVAS_CPU_NO_MMX2=1 EVAS_CPU_NO_SSE=1 EVAS_CPU_NO_SSE3=1)

bash scripts/install-deps.sh g++-aarch64-linux-gnu g++-arm-linux-gnueabihf qemu-user
bash scripts/install-deps.sh --no-recommends qemu-system-arm kmod cpio lintian devscripts
source scripts/fb-emu.sh
png_compare=$host_build/tools/png_compare
out=$host_build/device-out
rm -rf "$out"
start=$SECONDS

# The options of a job.
options_of() {
  local job
  for job in "${JOBS[@]}"; do
    [ "${job%% *}" = "$1" ] && { echo "${job#* }"; return; }
  done
}

# run_job DEST BUILD MODE NAME [RUNNER...]: one job into DEST/MODE-NAME/
# (stdout, 1.png, 1_white.png, 1.json). MODE is headless, device or no-simd.
# Every run has its device root at the relative path "root", so that the
# console lines of all runs agree.
run_job() {
  local dest=$1 build=$2 mode=$3 name=$4
  shift 4
  local dir=$dest/$mode-$name env=(ECORE_NO_SYSTEM_MODULES=1 ANALYZER_ROOT=root) cmd=("$@")
  device_root "$dir/root" "$build"
  case $mode in
    headless) env+=(ELM_DISPLAY=buffer) ;;
    no-simd) env+=(ELM_DISPLAY=buffer "${NO_SIMD[@]}") ;;
    device)
      fb_emu_env "$build" "$dir/fb.raw"
      fb_emu_under "$@"
      env=(-u ELM_DISPLAY "${env[@]}" "${fb_env[@]}")
      cmd=("${fb_cmd[@]}") ;;
  esac
  # shellcheck disable=SC2046 # the options are words
  (cd "$dir" && env "${env[@]}" "${cmd[@]}" "$build/analyzer" $(options_of "$name") >stdout 2>stderr) ||
    echo "exit status $?" >>"$dir/stdout"
  mv "$dir"/root/mnt/mmc-disk4/img/analyzer_data/1{.png,_white.png,.json} "$dir/" 2>/dev/null || true
}

failures=0
fail() {
  echo "  FAILED: $*"
  failures=$((failures + 1))
}
# same_bytes A B WHAT (two files that are both absent agree)
same_bytes() {
  [ ! -e "$1" ] && [ ! -e "$2" ] && return
  cmp -s "$1" "$2" || fail "$3 differs: $1 $2"
}
# same_pixels A_DIR B_DIR TOLERANCE WHAT: both captures of two runs within
# TOLERANCE, their text chunks identical; keeps the largest difference seen
# in the caller's `largest`.
same_pixels() {
  local f line d
  for f in 1.png 1_white.png; do
    [ ! -e "$1/$f" ] && [ ! -e "$2/$f" ] && continue
    if line=$("$png_compare" --tolerance "$3" "$1/$f" "$2/$f" 2>&1); then
      d=${line##* }
      largest=$((d > largest ? d : largest))
    else
      fail "$4: $line"
    fi
  done
}

# The development machine's runs: headless, with SIMD off, and in device mode.
x86_runs() {
  for job in "${JOBS[@]}"; do
    run_job "$out/x86_64" "$host_build" headless "${job%% *}"
    run_job "$out/x86_64" "$host_build" no-simd "${job%% *}"
  done
  for name in "${DEVICE_JOBS[@]}"; do run_job "$out/x86_64" "$host_build" device "$name"; done
  touch "$out/x86_64/done"
}

# check_arch ARCH: makes or reuses ARCH's build, runs and compares once the
# development machine's runs are done.
check_arch() {
  local arch=$1 build sysroot runner t0=$SECONDS largest=0 f name kernel
  # The booted device's kernel is fetched while the build compiles.
  bash scripts/device-kernel.sh "$arch" >/dev/null 2>"$out/kernel-$arch.log" &
  kernel=$!
  build=$(bash scripts/cross-build.sh "$arch" 2>"$out/build-$arch.log") || build=""
  sed 's/^/  /' "$out/build-$arch.log"
  [ -n "$build" ] || { fail "$arch: the cross build failed"; return 1; }
  local t1=$SECONDS
  while [ ! -e "$out/x86_64/done" ]; do sleep 1; done
  sysroot=$(sed -n 's/^CMAKE_SYSROOT:[A-Z]*=//p' "$build/CMakeCache.txt")
  runner=(bash "$src/scripts/qemu-run.sh" "$arch" "$sysroot")
  local t2=$SECONDS
  for f in "$host_build"/root/usr/local/app/image/*.png; do
    "$png_compare" "$f" "$build/root/usr/local/app/image/${f##*/}" >/dev/null || fail "artwork ${f##*/} differs"
  done
  for job in "${JOBS[@]}"; do run_job "$out/$arch" "$build" headless "${job%% *}" "${runner[@]}"; done
  for name in "${DEVICE_JOBS[@]}"; do run_job "$out/$arch" "$build" device "$name" "${runner[@]}"; done
  echo "$arch: build $((t1 - t0)) s, ${#JOBS[@]} jobs headless and ${#DEVICE_JOBS[@]} in device mode under qemu $((SECONDS - t2)) s"
  for job in "${JOBS[@]}"; do
    name=${job%% *}
    same_bytes "$out/x86_64/headless-$name/stdout" "$out/$arch/headless-$name/stdout" "console output"
    same_bytes "$out/x86_64/headless-$name/1.json" "$out/$arch/headless-$name/1.json" "record"
    same_pixels "$out/x86_64/headless-$name" "$out/$arch/headless-$name" "$TOLERANCE" "$name"
    [ "$arch" != armhf ] ||
      same_pixels "$out/x86_64/no-simd-$name" "$out/$arch/headless-$name" 0 "$name against x86-64 without SIMD"
  done
  for name in "${DEVICE_JOBS[@]}"; do
    same_bytes "$out/x86_64/device-$name/stdout" "$out/$arch/device-$name/stdout" "console output in device mode"
    same_bytes "$out/x86_64/device-$name/1.json" "$out/$arch/device-$name/1.json" "record in device mode"
    same_pixels "$out/$arch/headless-$name" "$out/$arch/device-$name" 0 "$name in device mode against headless"
  done
  if [ "$failures" -eq 0 ]; then
    echo "  records, text chunks and console output identical to x86-64;" \
         "largest capture difference $largest (at most $TOLERANCE); device mode identical to headless"
    [ "$arch" != armhf ] || echo "  identical to the pixel to x86-64 with SIMD off"
  fi
  bash scripts/cross-check.sh "$host_build" "$arch" "$build" "${runner[@]}" | sed 's/^/  /' || fail "evaluation"
  if wait "$kernel"; then
    boot_check "$arch"
  else
    sed 's/^/  /' "$out/kernel-$arch.log"
    fail "$arch: the device's kernel could not be fetched"
  fi
  if [ "$arch" = aarch64 ]; then
    SYSROOT=$sysroot bash scripts/check-package.sh "$build"/analyzer_*.deb "$out/package-arm64" "${runner[@]}" |
      sed 's/^/  /' || fail "package"
  else
    # The same lintian and hardening check as every package.
    bash scripts/lint-package.sh "$build"/analyzer_*.deb | sed 's/^/  /' || fail "package"
  fi
  [ "$failures" -eq 0 ]
}

# boot_check ARCH: boots ARCH's device with BOOT_JOB and compares what it
# saved, printed and showed.
boot_check() {
  local arch=$1 boot=$out/boot-$1 ref=$out/x86_64/headless-$BOOT_JOB largest=0 line before=$failures
  if ! bash scripts/device-boot.sh --arch "$arch" "$boot" >"$boot.log" 2>&1; then
    sed 's/^/  /' "$boot.log"
    fail "$arch: the booted device's job"
    return
  fi
  # The headless runs are re-rooted (ANALYZER_ROOT=root); the device prints
  # its own paths, and the framebuffer lines headless runs have no use for.
  sed 's#\[root/#[/#g' "$ref/stdout" >"$boot/stdout.x86_64"
  grep -v -e '^Info: Use default fb = ' -e '^Info: fb dev not open\. ' "$boot/stdout" >"$boot/stdout.job" || true
  same_bytes "$boot/stdout.x86_64" "$boot/stdout.job" "console output of the booted device"
  same_bytes "$ref/1.json" "$boot/1.json" "record of the booted device"
  same_pixels "$ref" "$boot" "$TOLERANCE" "booted device against x86-64"
  same_pixels "$out/$arch/headless-$BOOT_JOB" "$boot" 0 "booted device against $arch headless"
  line=$("$png_compare" --pixels "$boot/1_white.png" "$boot/screen.ppm" 2>&1) || fail "screendump: $line"
  sed -n -e 's/^device-boot: //p' "$boot/console.log" | grep -E '^(init|fb0|kernel: .*fb0)' | sed 's/^/  boot: /'
  grep '^Info: ' "$boot/stdout" | sed 's/^/  boot: /'
  sed 's/^/  boot: /' "$boot/times"
  [ "$failures" -ne "$before" ] || echo "  booted: record and console output as on x86-64, captures within $largest of it" \
    "and identical to $arch headless, the screendump identical to 1_white.png"
}

# Both architectures at once, each in the background with its own log, so
# that the cores stay busy while sysroots download, builds compile and
# programs run under qemu.
mkdir -p "$out/x86_64"
declare -A checker
for arch in "${ARCHES[@]}"; do
  check_arch "$arch" >"$out/check-$arch.log" 2>&1 &
  checker[$arch]=$!
done
x86_runs
status=0
for arch in "${ARCHES[@]}"; do
  wait "${checker[$arch]}" || status=1
  cat "$out/check-$arch.log"
done
echo "device check: $((SECONDS - start)) s"
exit $status
