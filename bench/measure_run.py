#!/usr/bin/env python3
"""Runs the analyzer headless (and, with --modes, also in device mode on the
emulated framebuffer) N times per case and reports wall time, CPU time,
peak resident memory and capture sizes (medians over the runs).

CPU phases are taken from outside the program: the harness reads the
program's console line by line and, on the lines that mark the phases, sums
the CPU time of the program's threads from /proc/<pid>/task/*/schedstat
(nanoseconds). Phases:
  start-up  to the end of the evaluation ("reference->white_level = ...");
  page      from there to "exit_app:": building the report page and the
            render that the measurement run asks for;
  wait      from "exit_app:" to "run exit!", while the 1.0 s exit timer runs;
  exit      the rest: the two captures, deleting the page, shutting down.
The total CPU time, wall time and peak RSS come from wait4() on the child.
Any process the analyzer leaves behind (the toolkit's efreetd, in builds
that let it start) is adopted (child subreaper), waited for before the next
run and its CPU time counted in the whole run.
"""
import argparse
import ctypes
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time

MARK_EVALUATED = b"reference->white_level = "
MARK_WAIT = b"exit_app:"
MARK_EXIT = b"run exit!"
# Both captures and the saving of the job's files: from "run exit!" to the
# page deletion after the main loop has ended. (The rotation lines print
# after both grabs, so the white capture has no mark of its own.)
MARK_TEARDOWN = b"[del_sdr_page]"
MARKS = (MARK_EVALUATED, MARK_WAIT, MARK_EXIT, MARK_TEARDOWN)


def task_cpu_ns(pid):
    """CPU time of every live thread of pid, in ns (None once it is gone)."""
    total = 0
    try:
        for tid in os.listdir(f"/proc/{pid}/task"):
            try:
                with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
                    total += int(f.read().split()[0])
            except (FileNotFoundError, ProcessLookupError):
                pass
    except FileNotFoundError:
        return None
    return total


def main_thread_cpu_ns(pid):
    """CPU time of the main thread alone, in ns (None once it is gone)."""
    try:
        with open(f"/proc/{pid}/task/{pid}/schedstat") as f:
            return int(f.read().split()[0])
    except (FileNotFoundError, ProcessLookupError):
        return None


def busy_seconds():
    """CPU time spent busy on all cores since boot (from /proc/stat)."""
    with open("/proc/stat") as f:
        fields = [int(v) for v in f.readline().split()[1:]]
    idle = fields[3] + fields[4]
    return (sum(fields[:8]) - idle) / os.sysconf("SC_CLK_TCK")


def wait_until_quiet(limit_s, threshold=0.15):
    """Waits (at most limit_s) for a second in which other programs use less
    than `threshold` of one core."""
    deadline = time.monotonic() + limit_s
    while True:
        before = busy_seconds()
        time.sleep(1.0)
        if busy_seconds() - before < threshold or time.monotonic() >= deadline:
            return


def make_root(build):
    build = os.path.abspath(build)
    root = tempfile.mkdtemp(prefix="bench-root-")
    app = os.path.join(root, "usr/local/app")
    os.makedirs(app)
    os.makedirs(os.path.join(root, "home"))
    os.makedirs(os.path.join(root, "run"), mode=0o700)
    for name in ("image", "font"):
        os.symlink(os.path.join(build, "root/usr/local/app", name), os.path.join(app, name))
    return root


def become_subreaper():
    """Orphans of the analyzer (the toolkit's efreetd) become our children, so
    their CPU time can be collected too."""
    libc = ctypes.CDLL(None, use_errno=True)
    PR_SET_CHILD_SUBREAPER = 36
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        print("warning: no subreaper; helper processes are not counted", file=sys.stderr)


def read_marks(proc, start, marks):
    """Reads the console to its end (the toolkit's helpers may hold it open
    after the analyzer exits) and samples the CPU time at each mark."""
    pending = b""
    fd = proc.stdout.fileno()
    while True:
        chunk = os.read(fd, 65536)
        if not chunk:
            break
        pending += chunk
        *lines, pending = pending.split(b"\n")
        # Several marks in one read mean the harness fell behind: those
        # samples are late, and the phases they bound are dropped.
        seen = [m for m in MARKS if m not in marks and any(line.startswith(m) for line in lines)]
        if seen:
            cpu = task_cpu_ns(proc.pid)
            main_cpu = main_thread_cpu_ns(proc.pid)
            for m in seen:
                marks[m] = (cpu, len(seen), time.monotonic() - start, main_cpu)


def run_once(binary, args, root, mode, build):
    capture = os.path.join(root, "mnt/mmc-disk4/img/analyzer_data")
    shutil.rmtree(os.path.join(root, "mnt"), ignore_errors=True)
    # A private home and runtime folder: the toolkit's efreetd is then this
    # run's own (started by it, as on the device), not one shared with other
    # programs of the same user.
    env = dict(os.environ, ELM_DISPLAY="buffer", ANALYZER_ROOT=root, ECORE_NO_SYSTEM_MODULES="1",
               HOME=os.path.join(root, "home"), XDG_RUNTIME_DIR=os.path.join(root, "run"))
    env.pop("XDG_CACHE_HOME", None)
    if mode == "device":
        # EFL's framebuffer engine on the test helper's emulated /dev/fb7
        # (see scripts/fb-emu.sh); never the machine's console.
        fb = os.path.join(root, "fb.raw")
        open(fb, "wb").close()
        env.pop("ELM_DISPLAY")
        env.update(ELM_ENGINE="fb", EVAS_FB_DEV="/dev/fb7", ECORE_FB_NO_VT="1",
                   LD_PRELOAD=os.path.join(build, "libfbdev_emu.so"), FBDEV_EMU_DEVICE="/dev/fb7",
                   FBDEV_EMU_FILE=fb)
    busy_before = busy_seconds()
    start = time.monotonic()
    proc = subprocess.Popen([binary] + args, env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, bufsize=0)
    marks = {}
    reader = threading.Thread(target=read_marks, args=(proc, start, marks))
    reader.start()
    _, status, ru = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    busy = busy_seconds() - busy_before
    proc.returncode = os.waitstatus_to_exitcode(status)
    # Helpers the analyzer started and left running (efreetd and its cache
    # builders) end by themselves a few seconds later; wait for them so that
    # every run starts alike, and count their CPU time.
    helpers_ms = 0.0
    while True:
        try:
            _, _, hru = os.wait4(-1, 0)
        except ChildProcessError:
            break
        helpers_ms += (hru.ru_utime + hru.ru_stime) * 1000
    reader.join()
    proc.stdout.close()

    def phase(a, b):
        if a not in marks or b not in marks or marks[a][0] is None or marks[b][0] is None:
            return None
        if marks[a][1] > 1 or marks[b][1] > 1:
            return None
        return (marks[b][0] - marks[a][0]) / 1e6

    def main_phase(a, b):
        if phase(a, b) is None or marks[a][3] is None or marks[b][3] is None:
            return None
        return (marks[b][3] - marks[a][3]) / 1e6

    cpu_ms = (ru.ru_utime + ru.ru_stime) * 1000
    exit_mark = marks.get(MARK_EXIT)

    sizes = []
    for name in ("1.png", "1_white.png"):
        path = os.path.join(capture, name)
        sizes.append(os.path.getsize(path) if os.path.exists(path) else 0)
    return {
        "status": status,
        "wall_ms": wall * 1000,
        "cpu_ms": cpu_ms,
        "user_ms": ru.ru_utime * 1000,
        "sys_ms": ru.ru_stime * 1000,
        "maxrss_kb": ru.ru_maxrss,
        "startup_ms": marks[MARK_EVALUATED][0] / 1e6 if MARK_EVALUATED in marks else None,
        "page_ms": phase(MARK_EVALUATED, MARK_WAIT),
        "wait_cpu_ms": phase(MARK_WAIT, MARK_EXIT),
        "captures_ms": phase(MARK_EXIT, MARK_TEARDOWN),
        "captures_main_ms": main_phase(MARK_EXIT, MARK_TEARDOWN),
        "exit_ms": cpu_ms - exit_mark[0] / 1e6 if exit_mark and exit_mark[1] == 1 else None,
        "helpers_cpu_ms": helpers_ms,
        # Busy CPU of everything else on the machine during the run (in
        # cores, 0 to nproc), leaving out the analyzer; the helpers count in.
        "others_cores": max(0.0, busy - (ru.ru_utime + ru.ru_stime)) / wall,
        "marks_s": {m.decode(): round(v[2], 3) for m, v in marks.items()},
        "png_dark": sizes[0],
        "png_white": sizes[1],
    }


def label(name, mode, modes):
    return name if modes == ["headless"] else f"{name} ({mode})"


def median(values):
    values = [v for v in values if v is not None]
    return statistics.median(values) if values else None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--binary", help="analyzer to run (default: BUILD/analyzer)")
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--json", help="write every run here")
    ap.add_argument("--quiet-wait", type=float, default=0,
                    help="before each run, wait up to this many seconds for an idle second")
    ap.add_argument("--keep", help="copy each case's last captures to KEEP/<case>/")
    ap.add_argument("--modes", default="headless",
                    help="headless, device or headless,device: run every case in these modes, "
                    "interleaved; with both, rows are named 'case (mode)'")
    ap.add_argument("cases", nargs="+", help="NAME=ARG ARG ... (arguments split on spaces)")
    opts = ap.parse_args()

    opts.modes = opts.modes.split(",")
    if not set(opts.modes) <= {"headless", "device"}:
        ap.error("--modes: headless and/or device")
    opts.build = os.path.abspath(opts.build)
    binary = opts.binary or os.path.join(opts.build, "analyzer")
    become_subreaper()
    root = make_root(opts.build)
    results = {}
    try:
        for case in opts.cases:
            name, _, argline = case.partition("=")
            for mode in opts.modes:
                results[label(name, mode, opts.modes)] = []
            for _ in range(opts.runs):
                for mode in opts.modes:
                    if opts.quiet_wait > 0:
                        wait_until_quiet(opts.quiet_wait)
                    r = run_once(binary, argline.split(), root, mode, opts.build)
                    if r["status"] != 0:
                        print(f"{name} ({mode}): exit status {r['status']}", file=sys.stderr)
                    results[label(name, mode, opts.modes)].append(r)
                    if opts.keep:
                        dest = os.path.join(opts.keep, name if opts.modes == ["headless"] else f"{name}_{mode}")
                        os.makedirs(dest, exist_ok=True)
                        capture = os.path.join(root, "mnt/mmc-disk4/img/analyzer_data")
                        for png in ("1.png", "1_white.png"):
                            if os.path.exists(os.path.join(capture, png)):
                                shutil.copy(os.path.join(capture, png), dest)
            print(f"{name}: done", file=sys.stderr)
    finally:
        shutil.rmtree(root, ignore_errors=True)

    if opts.json:
        with open(opts.json, "w") as f:
            json.dump(results, f, indent=1)

    def fmt(v, spec=".0f"):
        return "n/a" if v is None else format(v, spec)

    def col(runs, key, scale=1.0, spec=".0f"):
        return fmt(median(r[key] * scale if r[key] is not None else None for r in runs), spec)

    print(f"Medians of {opts.runs} runs per case; times in ms, max RSS in MiB, captures in KB "
          "(1000 bytes).\n")
    print("| case | wall | whole run: CPU of the analyzer and of every process it caused "
          "| CPU (user+sys) of the analyzer | CPU, least of the runs | CPU without the 1 s wait "
          "| max RSS | 1.png | 1_white.png |")
    print("|---|---|---|---|---|---|---|---|---|")
    for name, runs in results.items():
        for r in runs:
            r["no_wait_ms"] = r["cpu_ms"] - r["wait_cpu_ms"] if r["wait_cpu_ms"] is not None else None
            r["whole_ms"] = r["cpu_ms"] + r["helpers_cpu_ms"]
        print(f"| {name} | {col(runs, 'wall_ms')} | {col(runs, 'whole_ms')} | {col(runs, 'cpu_ms')} "
              f"({col(runs, 'user_ms')}+{col(runs, 'sys_ms')}) | {min(r['cpu_ms'] for r in runs):.0f} "
              f"| {col(runs, 'no_wait_ms')} "
              f"| {col(runs, 'maxrss_kb', 1 / 1024, '.1f')} | {col(runs, 'png_dark', 1e-3, '.1f')} "
              f"| {col(runs, 'png_white', 1e-3, '.1f')} |")
    print("\nCPU time by phase (ms, medians). start-up + evaluation: to the end of the evaluation; "
          "page build + render: from there to the start of the 1 s wait; in the wait: the main "
          "loop's own work while the exit timer runs (its first render of the page); captures + "
          "exit: the rest; of it, captures: grabbing and encoding both captures and saving the "
          "job's files (from \"run exit!\" to the page deletion). helpers: the toolkit's efreetd and its cache builders (other "
          "processes, not in the analyzer's CPU). other load: busy cores of everything else "
          "during the run.\n")
    print("| case | start-up + evaluation | page build + render | in the wait | captures + exit "
          "| captures | helpers | other load (cores) |")
    print("|---|---|---|---|---|---|---|---|")
    for name, runs in results.items():
        print(f"| {name} | {col(runs, 'startup_ms')} | {col(runs, 'page_ms', spec='.1f')} "
              f"| {col(runs, 'wait_cpu_ms', spec='.1f')} | {col(runs, 'exit_ms')} "
              f"| {col(runs, 'captures_ms', spec='.1f')} "
              f"| {col(runs, 'helpers_cpu_ms')} | {col(runs, 'others_cores', spec='.2f')} |")

    if opts.modes == ["headless", "device"]:
        print("\nBoth captures in device mode against headless, paired by round (ms, "
              "medians; difference = median of device minus headless within each round). "
              "main thread: the thread that reads and encodes the captures; all threads: the "
              "phase of the table above, with the toolkit's other threads.\n")
        print("| case | main thread: headless | device | difference | device / headless "
              "| all threads: headless | device | device / headless |")
        print("|---|---|---|---|---|---|---|---|")
        for case in opts.cases:
            name = case.partition("=")[0]
            row = []
            for key in ("captures_main_ms", "captures_ms"):
                pairs = [(h[key], d[key]) for h, d in
                         zip(results[f"{name} (headless)"], results[f"{name} (device)"])
                         if h[key] is not None and d[key] is not None]
                if not pairs:
                    row.append(None)
                    continue
                h, d = median(p[0] for p in pairs), median(p[1] for p in pairs)
                row.append((h, d, median(p[1] - p[0] for p in pairs)))
            if None in row:
                continue
            (mh, md, mdiff), (ah, ad, _) = row
            print(f"| {name} | {mh:.1f} | {md:.1f} | {mdiff:+.1f} | {md / mh:.3f} "
                  f"| {ah:.1f} | {ad:.1f} | {ad / ah:.3f} |")

if __name__ == "__main__":
    main()
