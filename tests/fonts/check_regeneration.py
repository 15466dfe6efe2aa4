#!/usr/bin/python3
"""Runs make-substitute.py into a temporary folder and compares the result with the shipped fonts.

    check_regeneration.py MAKE_SUBSTITUTE_SCRIPT SHIPPED_DIR
"""

import subprocess
import sys
import tempfile
from pathlib import Path

from fontTools.ttLib import TTFont

FILES = ("NorasiUPC.ttf", "NorasiUPC-Bold.ttf")
FAMILY = "Norasi UPC"
UNITS_PER_EM = 1515
HINTING_TABLES = {"fpgm", "prep", "cvt "}
PER_PIXEL_SIZE_TABLES = {"hdmx", "VDMX", "LTSH"}


def names(font):
    return sorted((n.platformID, n.platEncID, n.langID, n.nameID, n.toUnicode()) for n in font["name"].names)


def summary(font):
    """What must not differ between the shipped file and a fresh one."""
    hhea, os2 = font["hhea"], font["OS/2"]
    return {
        "tables": sorted(font.keys()),
        "units per em": font["head"].unitsPerEm,
        "name records": names(font),
        "glyph order": font.getGlyphOrder(),
        "advances": font["hmtx"].metrics,
        "hhea ascent, descent, line gap": (hhea.ascent, hhea.descent, hhea.lineGap),
        "OS/2 win ascent, descent": (os2.usWinAscent, os2.usWinDescent),
        "OS/2 typo ascender, descender, line gap": (os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap),
        "weight class": os2.usWeightClass,
    }


def problems_of_shipped(name, font):
    found = []
    if font["head"].unitsPerEm != UNITS_PER_EM:
        found.append(f"{name}: {font['head'].unitsPerEm} units per em, not {UNITS_PER_EM}")
    families = {n.toUnicode() for n in font["name"].names if n.nameID in (1, 16)}
    if families != {FAMILY}:
        found.append(f"{name}: family names {sorted(families)}, not only {FAMILY!r}")
    if not HINTING_TABLES <= set(font.keys()):
        found.append(f"{name}: hinting tables missing: {sorted(HINTING_TABLES - set(font.keys()))}")
    if PER_PIXEL_SIZE_TABLES & set(font.keys()):
        found.append(f"{name}: per-pixel-size tables left: {sorted(PER_PIXEL_SIZE_TABLES & set(font.keys()))}")
    return found


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    script, shipped_dir = Path(argv[1]), Path(argv[2])
    found = []
    with tempfile.TemporaryDirectory() as fresh_dir:
        subprocess.run([sys.executable, str(script), fresh_dir], check=True)
        for name in FILES:
            shipped = TTFont(shipped_dir / name)
            fresh = TTFont(Path(fresh_dir) / name)
            found += problems_of_shipped(name, shipped)
            shipped_summary, fresh_summary = summary(shipped), summary(fresh)
            for key, value in shipped_summary.items():
                if fresh_summary[key] != value:
                    found.append(f"{name}: {key} differs between the shipped file and a fresh one")
            same_bytes = (shipped_dir / name).read_bytes() == (Path(fresh_dir) / name).read_bytes()
            print(f"{name}: {len(shipped.getGlyphOrder())} glyphs, "
                  f"{'byte for byte the same' if same_bytes else 'same metrics, other bytes'}")
    for problem in found:
        print(problem, file=sys.stderr)
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
