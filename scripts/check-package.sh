#!/usr/bin/env bash
# Checks the Debian package of a build: unpacked into a fresh root it holds
# the device tree under /usr/local/app (both programs, the artwork, the font)
# and nothing else, its architecture is its programs', every library they
# link comes from a package its Depends names, and one job run from the
# unpacked tree draws its report with the installed artwork.
#   scripts/check-package.sh BUILD|PACKAGE.deb WORK [RUNNER...]
# Given a build folder, makes the package there with cpack first. WORK is
# replaced. RUNNER runs a program of another architecture (scripts/qemu-run.sh
# ARCH SYSROOT); SYSROOT, when set, is where that architecture's libraries
# come from (scripts/make-sysroot.sh lists each package's files), else this
# machine's packages are asked.
set -euo pipefail
source "$(dirname "$0")/samples.sh"
samples_init
deb=$(user_path "${1:?usage: check-package.sh BUILD|PACKAGE.deb WORK [RUNNER...]}")
work=$(user_path "${2:?usage: check-package.sh BUILD|PACKAGE.deb WORK [RUNNER...]}")
shift 2
cd "$source_dir"
src=$PWD
rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
if [ -d "$deb" ]; then
  (cd "$deb" && cpack -G DEB -B "$work/cpack" >/dev/null)
  deb=$(ls "$work"/cpack/analyzer_*.deb)
fi
app=usr/local/app
errors=()
dpkg-deb -x "$deb" "$work/root"

# The tree: the programs, 11 images, the font and its index, nothing else.
files=$(cd "$work/root" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$(grep -c "^$app/image/.*\.png$" <<<"$files")" -eq 11 ] || errors+=("not 11 images under $app/image")
for f in $app/analyzer $app/analyzer-results $app/analyzer-summary-png $app/font/arial.ttf $app/font/fonts.dir $app/font/fonts.alias; do
  grep -qx "$f" <<<"$files" || errors+=("missing: $f")
done
for f in $app/analyzer $app/analyzer-results $app/analyzer-summary-png; do
  [ -x "$work/root/$f" ] || errors+=("not executable: $f")
done
outside=$(grep -v "^$app/" <<<"$files" || true)
[ -z "$outside" ] || errors+=("outside $app: $outside")

# The architecture, from the program's ELF header.
machine=$(readelf -h "$work/root/$app/analyzer" | sed -n 's/^ *Machine: *//p')
case $machine in
  AArch64) want=arm64 triplet=aarch64-linux-gnu ;;
  ARM) want=armhf triplet=arm-linux-gnueabihf ;;
  *X86-64) want=amd64 triplet=x86_64-linux-gnu ;;
  *) want="unknown machine $machine" triplet=unknown ;;
esac
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$arch" = "$want" ] || errors+=("Architecture $arch for a program built for $want")

# Every linked library's package is a dependency (versions aside).
depends=$(dpkg-deb -f "$deb" Depends | tr ',' '\n' | sed 's/(.*)//; s/ //g')
needed=$(for program in analyzer analyzer-results analyzer-summary-png; do
  readelf -d "$work/root/$app/$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'
done | LC_ALL=C sort -u)
# "package library" for each library of the architecture's folder.
if [ -n "${SYSROOT:-}" ]; then
  owners=$(cd "$SYSROOT/var/lib/sysroot-files" && for lib in $needed; do
    grep -l "/lib/$triplet/$lib\$" -- *.list | head -1 | sed "s/\.list\$/ $lib/"
  done)
else
  # shellcheck disable=SC2046 # one pattern per library
  owners=$(dpkg -S $(printf "*/lib/$triplet/%s " $needed) 2>/dev/null | sed 's/:.*\/\([^/]*\)$/ \1/' | sort -u -k2,2)
fi
for lib in $needed; do
  package=$(awk -v lib="$lib" '$2 == lib { print $1; exit }' <<<"$owners")
  if [ -z "$package" ]; then
    errors+=("no package holds $lib")
  elif ! grep -qx "$package" <<<"$depends"; then
    errors+=("the programs link $lib of $package, which Depends does not name")
  fi
done

# One job from the unpacked tree, headless.
status=0
read_samples
# shellcheck disable=SC2086 # the options are words
ELM_DISPLAY=buffer ECORE_NO_SYSTEM_MODULES=1 ANALYZER_ROOT="$work/root" "$@" "$work/root/$app/analyzer" \
  ${SAMPLE_OPTIONS[sdr_gamma22_vs24]} -testFilePath "$src/samples/sdr_gamma22_vs24.csv" >"$work/job.out" 2>"$work/job.err" ||
  status=$?
[ "$status" -eq 0 ] || errors+=("the job from the unpacked tree ended with status $status")
! grep -i "could not load" "$work/job.err" || errors+=("the job did not find the installed artwork")
for f in 1.png 1_white.png 1.json; do
  [ -s "$work/root/mnt/mmc-disk4/img/analyzer_data/$f" ] || errors+=("the job left no $f")
done

echo "$(basename "$deb"): $(wc -l <<<"$files") files under /$app, Architecture $arch"
echo "  Depends: $(dpkg-deb -f "$deb" Depends)"
if [ ${#errors[@]} -gt 0 ]; then
  printf '  FAILED: %s\n' "${errors[@]}"
  exit 1
fi
echo "  every linked library from a dependency; a job run from the unpacked tree drew its report"
