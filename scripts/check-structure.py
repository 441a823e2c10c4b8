#!/usr/bin/env python3
"""Checks the shape of the source tree (ARCHITECTURE.md): a folder includes
headers only from itself and from folders on lower floors, and no hand-written
source file is longer than 800 lines (generated data is embedded by the build
instead). Prints each problem and exits 1 when there is one."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# Lowest first; folders on one line are on the same floor and do not include
# each other.
FLOORS = [
    ["engine"],
    ["artistic", "light", "heal"],
    ["effects"],
    ["files"],
    ["canvas"],
    ["session", "batch"],
    ["recovery"],
    ["ui"],
    ["view"],
    ["app"],
]
FLOOR = {folder: level for level, folders in enumerate(FLOORS) for folder in folders}
MAX_LINES = 800
OTHER_SOURCES = ["tests", "bench", "tools", "fuzz"]


def main():
    problems = []
    for folder, level in FLOOR.items():
        path = os.path.join(ROOT, folder)
        for dirpath, _, files in os.walk(path):
            for f in files:
                if not f.endswith((".cpp", ".h")):
                    continue
                source = os.path.join(dirpath, f)
                for n, line in enumerate(open(source, encoding="utf-8", errors="replace"), 1):
                    m = re.match(r'\s*#\s*include\s+"([a-z_]+)/', line)
                    if not m or m.group(1) not in FLOOR:
                        continue
                    target = m.group(1)
                    if target != folder and FLOOR[target] >= level:
                        problems.append(f"{os.path.relpath(source, ROOT)}:{n}: {folder}/ includes {target}/ "
                                        f"({'the same floor' if FLOOR[target] == level else 'a floor above'})")
    layering = len(problems)
    for top in list(FLOOR) + OTHER_SOURCES:
        for dirpath, _, files in os.walk(os.path.join(ROOT, top)):
            for f in files:
                if f.endswith((".cpp", ".h")):
                    source = os.path.join(dirpath, f)
                    lines = sum(1 for _ in open(source, encoding="utf-8", errors="replace"))
                    if lines > MAX_LINES:
                        problems.append(f"{os.path.relpath(source, ROOT)}: {lines} lines (at most {MAX_LINES})")
    for p in problems:
        print(p)
    print(f"check-structure: {layering} includes reach up or sideways, "
          f"{len(problems) - layering} files are too long")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
