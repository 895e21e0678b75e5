#!/usr/bin/env bash
# Checks the Debian package of a build: unpacked into a fresh root it holds
# the device tree under /usr/local/app (both programs, the artwork, the font)
# and its documents (man pages, copyright, changelog, lintian overrides) and
# nothing else, its architecture is its programs', every library they link
# comes from a package its Depends names, lintian and hardening-check pass
# (scripts/lint-package.sh), and one job run from the unpacked tree draws its
# report with the installed artwork. On this machine's architecture, as root,
# it is also installed at /usr/local/app in a private mount namespace and run
# by an unprivileged user with a clean environment, as the README says; and
# once more with its images hidden.
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
build=""
if [ -d "$deb" ]; then
  build=$(cd "$deb" && pwd)
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
docs="usr/share/doc/analyzer/changelog.gz usr/share/doc/analyzer/copyright usr/share/lintian/overrides/analyzer
usr/share/man/man1/analyzer-results.1.gz usr/share/man/man1/analyzer.1.gz"
for f in $docs; do
  grep -qx "$f" <<<"$files" || errors+=("missing: $f")
done
outside=$(grep -v "^$app/" <<<"$files" | grep -vxF -f <(tr ' ' '\n' <<<"$docs") || true)
[ -z "$outside" ] || errors+=("outside $app: $outside")
# It owns no folder that other packages or the administrator share.
owned=$(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ { print $NF }')
for d in ./usr/local/; do
  ! grep -qx "$d" <<<"$owned" || errors+=("the package owns $d")
done
bash scripts/lint-package.sh "$deb" || errors+=("lintian or hardening-check")

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

# Installed at /usr/local/app (a private mount namespace), run by nobody with
# a clean environment, no home, and the one command of the README.
installed=""
if [ $# -eq 0 ] && [ "$(id -u)" -eq 0 ]; then
  user=$(mktemp -d /tmp/analyzer-user.XXXXXX)
  trap 'rm -rf "$user"' EXIT
  cp "$src/samples/sdr_gamma22_vs24.csv" "$user/job.csv"
  chown -R nobody:nogroup "$user"
  # shellcheck disable=SC2086 # the options are words
  job=(${SAMPLE_OPTIONS[sdr_gamma22_vs24]} -testFilePath "$user/job.csv")
  status=0
  unshare -m bash -s "$work/root/$app" "$user" "${job[@]}" <<'INSTALLED' >"$work/installed.out" 2>&1 || status=$?
set -eu
tree=$1 user=$2
shift 2
mount --make-rprivate /
mount -t tmpfs tmpfs /usr/local
mkdir /usr/local/app
mount --bind "$tree" /usr/local/app
as_user() { env -i PATH=/usr/bin:/bin setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"; }
status=0
as_user /usr/local/app/analyzer --headless --output "$user/reports" "$@" >"$user/run.out" 2>"$user/run.err" || status=$?
echo "status $status"
ls -A "$user/reports" 2>&1 || true
# The same with the images hidden: the saved generation stays.
sums() { (cd "$user/reports" && ls -lA --time-style=full-iso && sha256sum -- *); }
before=$(sums)
mount -t tmpfs tmpfs /usr/local/app/image
status=0
as_user /usr/local/app/analyzer --headless --output "$user/reports" "$@" >"$user/hidden.out" 2>"$user/hidden.err" || status=$?
echo "hidden status $status"
[ "$before" = "$(sums)" ] && echo "hidden kept the folder"
INSTALLED
  out=$(cat "$work/installed.out")
  grep -qx "status 0" <<<"$out" || errors+=("installed, as nobody: $out $(cat "$user/run.err")")
  [ "$(grep -cx '1.png\|1_white.png\|1.json' <<<"$out")" -eq 3 ] || errors+=("installed, as nobody: not the three files: $out")
  [ ! -s "$user/run.err" ] || errors+=("installed, as nobody: standard error: $(cat "$user/run.err")")
  grep -q "^Saved $user/reports/1.png, $user/reports/1_white.png and $user/reports/1.json\$" "$user/run.out" ||
    errors+=("installed, as nobody: no line naming the saved files")
  grep -qx "hidden status 1" <<<"$out" || errors+=("installed, images hidden: $out")
  grep -qx "hidden kept the folder" <<<"$out" || errors+=("installed, images hidden: the folder changed")
  grep -q "analyzer: missing /usr/local/app/image/.*\.png" "$user/hidden.err" ||
    errors+=("installed, images hidden: no line naming the file: $(cat "$user/hidden.err")")
  # Pixels and record identical to the build tree's capture of the same job.
  if [ -n "$build" ]; then
    env -u ANALYZER_ROOT "$build/analyzer" --headless --output "$work/build-reports" "${job[@]}" >/dev/null 2>&1 ||
      errors+=("the build tree's run failed")
    for f in 1.png 1_white.png; do
      "$build/tools/png_compare" "$work/build-reports/$f" "$user/reports/$f" >/dev/null ||
        errors+=("installed, as nobody: $f differs from the build tree's")
    done
    cmp -s "$work/build-reports/1.json" "$user/reports/1.json" || errors+=("installed: 1.json differs from the build tree's")
  fi
  installed="; installed at /$app and run by nobody: $(tail -1 "$user/run.out")"
fi

echo "$(basename "$deb"): $(wc -l <<<"$files") files, Architecture $arch"
echo "  Depends: $(dpkg-deb -f "$deb" Depends)"
if [ ${#errors[@]} -gt 0 ]; then
  printf '  FAILED: %s\n' "${errors[@]}"
  exit 1
fi
echo "  every linked library from a dependency; a job run from the unpacked tree drew its report$installed"
