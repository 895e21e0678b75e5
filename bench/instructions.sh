#!/usr/bin/env bash
# Instructions executed by one whole run of the analyzer and by every process
# it causes (valgrind's callgrind, children followed), headless and in device
# mode on the emulated framebuffer: a figure that does not move with the
# machine's load. Prints the total per mode and the five libraries (and the
# five functions of the program itself) that execute the most instructions.
#
#   bash bench/instructions.sh [BUILD] [SAMPLE OPTIONS...]
#   default: build, samples/sdr_ideal_power24.csv -EOTF Power -gamma 2.4
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
shift || true
[ $# -gt 0 ] || set -- -EOTF Power -gamma 2.4 -testFilePath "$PWD/samples/sdr_ideal_power24.csv"
bash scripts/install-deps.sh valgrind python3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for mode in headless device; do
  root=$work/$mode
  mkdir -p "$root/usr/local/app" "$root/home" "$root/run" "$root/cg"
  chmod 700 "$root/run"
  ln -s "$build/root/usr/local/app/image" "$root/usr/local/app/image"
  ln -s "$build/root/usr/local/app/font" "$root/usr/local/app/font"
  # The serial-number reader the device has, so that the one command a run
  # starts is there (and counted).
  mkdir -p "$root/opt/bin"
  printf '#!/bin/sh\necho SN=20261207\n' > "$root/opt/bin/fw_printenv"
  chmod 755 "$root/opt/bin/fw_printenv"
  env=(ANALYZER_ROOT="$root" ECORE_NO_SYSTEM_MODULES=1 HOME="$root/home" XDG_RUNTIME_DIR="$root/run")
  if [ "$mode" = device ]; then
    : > "$root/fb.raw"
    env+=(ELM_ENGINE=fb EVAS_FB_DEV=/dev/fb7 ECORE_FB_NO_VT=1 LD_PRELOAD="$build/libfbdev_emu.so"
          FBDEV_EMU_DEVICE=/dev/fb7 FBDEV_EMU_FILE="$root/fb.raw")
  else
    env+=(ELM_DISPLAY=buffer)
  fi
  env -u ELM_DISPLAY -u XDG_CACHE_HOME "${env[@]}" valgrind --tool=callgrind --trace-children=yes \
    --callgrind-out-file="$root/cg/out.%p" "$build/analyzer" "$@" > "$root/console.txt" 2> "$root/valgrind.txt"
  # A daemon the run left behind is still writing its profile: wait for it.
  while pgrep -f "callgrind-out-file=$root/cg/" > /dev/null; do sleep 0.5; done
  python3 - "$mode" "$root/cg" "$build/analyzer" "$PWD/src/" <<'PY'
import collections, glob, os, re, subprocess, sys
mode, folder, program, source = sys.argv[1:5]
total, libs, funcs, procs = 0, collections.Counter(), collections.Counter(), []
for path in sorted(glob.glob(folder + "/out.*")):
    text = subprocess.run(["callgrind_annotate", "--inclusive=no", "--auto=no", "--threshold=100", path],
                          capture_output=True, text=True).stdout
    cmd = re.search(r"^Profiled target:\s+(\S+)", text, re.M)
    m = re.search(r"^\s*([\d,]+) \(100\.0%\)\s+PROGRAM TOTALS", text, re.M)
    if not m or not cmd:
        continue
    n = int(m.group(1).replace(",", ""))
    total += n
    procs.append((os.path.basename(cmd.group(1)), n))
    for line in text.splitlines():
        r = re.match(r"^\s*([\d,]+) \([ \d.]+%\)\s+(.*)$", line)
        if not r or "PROGRAM TOTALS" in line:
            continue
        ir, where = int(r.group(1).replace(",", "")), r.group(2)
        obj = re.search(r"\[([^\]]+)\]\s*$", where)
        file, _, func = where.partition(":")
        # The program's own code has its source file named; a library
        # without debugging information has its object named.
        own = (obj.group(1) == program) if obj else file.startswith(source)
        if obj:
            func = func[: -len(obj.group(0))].rstrip()
        lib = os.path.basename(obj.group(1)) if obj else (os.path.basename(program) if own else "(other)")
        libs[lib] += ir
        if own:
            funcs[func[:90]] += ir
print(f"### {mode}: {total:,} instructions in {len(procs)} process(es): "
      + ", ".join(f"{p} {n:,}" for p, n in procs))
print("| library | instructions | share |\n|---|---|---|")
for lib, n in libs.most_common(5):
    print(f"| {lib} | {n:,} | {100 * n / total:.1f} % |")
print("\n| function of the program | instructions | share |\n|---|---|---|")
for f, n in funcs.most_common(5):
    print(f"| `{f}` | {n:,} | {100 * n / total:.1f} % |")
print()
PY
done
