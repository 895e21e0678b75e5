#!/usr/bin/env python3
"""Non-blank, non-comment C/C++ lines per folder, and the tests' share of them.

Usage: scripts/count_lines.py [ROOT]   (default: the repository)
"""
import pathlib
import re
import sys

FOLDERS = ["tests", "src", "tools", "fuzz", "bench"]
SUFFIXES = {".c", ".cc", ".cpp", ".h", ".hpp"}
# String and character literals, line and block comments; only comments are dropped.
TOKEN = re.compile(r'"(?:\\.|[^"\\\n])*"|\'(?:\\.|[^\'\\\n])*\'|//[^\n]*|/\*.*?\*/', re.S)


def code_lines(text):
    def strip(m):
        t = m.group(0)
        if t.startswith("//"):
            return ""
        if t.startswith("/*"):
            return "\n" * t.count("\n")
        return t
    return sum(1 for line in TOKEN.sub(strip, text).splitlines() if line.strip())


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).parent.parent)
    counts = {}
    for folder in FOLDERS:
        files = [p for p in (root / folder).rglob("*") if p.suffix in SUFFIXES and p.is_file()]
        counts[folder] = sum(code_lines(p.read_text(errors="replace")) for p in files)
    total = sum(counts.values())
    for folder in FOLDERS:
        print(f"{folder:6} {counts[folder]:6}")
    print(f"{'all':6} {total:6}")
    print(f"tests share {100.0 * counts['tests'] / total:.1f} %")


if __name__ == "__main__":
    main()
