#!/usr/bin/env python3
"""Picks mutations by a fixed rule, so the list is not written with the tests
in mind: two effect source files drawn at random with a fixed seed, then up to
20 numeric literals of each drawn with the same generator (comments and
preprocessor lines skipped; a literal is used only when its source line occurs
once in the file). An integer n becomes n + 1, any other number is scaled by
1.05 (0 becomes 0.05). Prints the list in scripts/mutate.sh's format:
    python3 scripts/pick-mutations.py [seed] > scripts/mutations-fresh.txt
"""
import random
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
POOL = sorted(
    [f"engine/{n}.cpp" for n in ("adjust", "colour", "effect_filter_smooth", "effect_filter_texture",
                                 "effect_filter_tone", "geometry")]
    + [f"artistic/{n}.cpp" for n in ("brush_painter", "canvas_filter", "gaussian_blur", "glow_edge_filter",
                                     "mosaic_filter", "oil_paint_filter", "paint_image", "painter_presets",
                                     "wind_filter")]
    + [f"light/{n}.cpp" for n in ("lens_flare_renderer", "lighting_renderer", "nova_renderer",
                                  "stamp_renderer", "warp_deformer")])
LITERAL = re.compile(r"(?<![\w.])(\d+\.\d*(?:[eE][-+]?\d+)?|\.\d+(?:[eE][-+]?\d+)?|\d+(?:[eE][-+]?\d+)?)([fFuUlL]*)(?![\w.])")
PER_FILE = 20


def mutated(number):
    if re.fullmatch(r"\d+", number):
        return str(int(number) + 1)
    value = float(number)
    text = "%.12g" % (value * 1.05 if value else 0.05)
    return text if any(c in text for c in ".e") else text + ".0"


def candidates(path):
    lines = (ROOT / path).read_text(encoding="utf-8").splitlines()
    counts = {}
    for line in lines:
        counts[line.strip()] = counts.get(line.strip(), 0) + 1
    found = []
    for line in lines:
        code = line.split("//")[0]
        text = line.strip()
        if text.startswith("#") or counts[text] != 1:
            continue
        for m in LITERAL.finditer(code):
            start = m.start() - (len(line) - len(line.lstrip()))
            new = text[:start] + mutated(m.group(1)) + m.group(2) + text[start + len(m.group(0)):]
            found.append((text, new))
    return found


def main():
    seed = int(sys.argv[1]) if len(sys.argv) > 1 else 29
    rng = random.Random(seed)
    files = rng.sample(POOL, 2)
    print(f"# Fresh mutations: scripts/pick-mutations.py {seed} drew {files[0]} and {files[1]}")
    print("# from its pool and up to 20 numeric literals of each (see the script for the rule).")
    for path in files:
        found = candidates(path)
        for old, new in sorted(rng.sample(found, min(PER_FILE, len(found))), key=found.index):
            print(f"{path} @@ {old} @@ {new}")


main()
