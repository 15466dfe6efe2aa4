#!/usr/bin/python3
"""Makes Norasi UPC, the stand-in for the window font "EucrosiaUPC" where that font is missing.

UPC Thai fonts draw their glyphs at about two thirds of the size that ordinary fonts give them
for the same em, and the window's controls were sized around that. Norasi (Debian's
fonts-thai-tlwg: looped Thai with a Times-like serif Latin) is the closest in look; raising its
units per em from 1000 to 1515 draws every glyph at 0.66 of the size while its outlines,
advances, kerning and hinting stay as they are, all of them being in font units.

Run with Debian's Python and python3-fonttools:

    /usr/bin/python3 resources/fonts/make-substitute.py [OUTPUT_DIR [SOURCE_DIR]]

OUTPUT_DIR defaults to this script's folder, SOURCE_DIR to Debian's TLWG font folder. The output
depends only on the source fonts, so running it again reproduces the shipped files byte for byte.
"""

import calendar
import math
import pathlib
import sys

from fontTools.misc.timeTools import timestampSinceEpoch
from fontTools.ttLib import TTFont

SOURCE_DIR = pathlib.Path("/usr/share/fonts/truetype/tlwg")
SOURCE_UNITS_PER_EM = 1000
UNITS_PER_EM = 1515
SOURCE_FAMILY = "Norasi"
FAMILY = "Norasi UPC"
POSTSCRIPT_FAMILY = "NorasiUPC"

# (source file, output file)
FACES = [
    ("Norasi.ttf", "NorasiUPC.ttf"),
    ("Norasi-Bold.ttf", "NorasiUPC-Bold.ttf"),
]

# Fixed so that a rerun gives the same bytes; the day these files were first derived.
MODIFIED = timestampSinceEpoch(calendar.timegm((2026, 12, 8, 0, 0, 0)))

# Name records that carry the family, so that the result never merges with the system's Norasi.
FAMILY_NAME_IDS = (1, 3, 4, 16)  # family, unique id, full name, typographic family
POSTSCRIPT_NAME_ID = 6
DESCRIPTION_NAME_ID = 10

# Tables that hold values for particular pixel sizes, which the new em makes wrong.
PER_PIXEL_SIZE_TABLES = ("hdmx", "VDMX", "LTSH")
# FontForge's record of when the source was built; it does not describe this file.
SOURCE_BUILD_TABLES = ("FFTM",)

CHANGE_NOTE = (
    "Norasi UPC: Norasi with 1515 units per em instead of 1000, so that every glyph is drawn at "
    "0.66 of the size, as a metric-compatible stand-in for a UPC Thai font; outlines, hinting and "
    "metrics otherwise unchanged. Changed 2026-12-08."
)


class SourceError(Exception):
    pass


def rename(font):
    names = font["name"]
    renamed = 0
    for record in names.names:
        text = record.toUnicode()
        if record.nameID in FAMILY_NAME_IDS:
            new = text.replace(SOURCE_FAMILY, FAMILY)
        elif record.nameID == POSTSCRIPT_NAME_ID:
            new = text.replace(SOURCE_FAMILY, POSTSCRIPT_FAMILY)
        elif record.nameID == DESCRIPTION_NAME_ID:
            new = text + "\n\n" + CHANGE_NOTE
        else:
            continue
        if record.nameID != DESCRIPTION_NAME_ID and new == text:
            raise SourceError(f"name record {record.nameID} does not name the family {SOURCE_FAMILY!r}: {text!r}")
        record.string = new
        renamed += 1
    if renamed == 0:
        raise SourceError("the font has no family name records")


def rescale(font):
    head = font["head"]
    if head.unitsPerEm != SOURCE_UNITS_PER_EM:
        raise SourceError(f"expected {SOURCE_UNITS_PER_EM} units per em, found {head.unitsPerEm}")
    head.unitsPerEm = UNITS_PER_EM
    # The smallest readable size in pixels grows with the em, since the glyphs shrink inside it.
    head.lowestRecPPEM = math.ceil(head.lowestRecPPEM * UNITS_PER_EM / SOURCE_UNITS_PER_EM)
    head.modified = MODIFIED
    for tag in PER_PIXEL_SIZE_TABLES + SOURCE_BUILD_TABLES:
        if tag in font:
            del font[tag]


def make_face(source, output):
    # The hinting tables (fpgm, prep, cvt and the glyph programs) are kept: they work in font
    # units and pixels, so they stay valid, and dropping them makes text wider under full hinting.
    font = TTFont(source, recalcTimestamp=False)
    rescale(font)
    rename(font)
    font.save(output)


def main(argv):
    if len(argv) > 3:
        print(__doc__, file=sys.stderr)
        return 2
    output_dir = pathlib.Path(argv[1]) if len(argv) > 1 else pathlib.Path(__file__).resolve().parent
    source_dir = pathlib.Path(argv[2]) if len(argv) > 2 else SOURCE_DIR
    output_dir.mkdir(parents=True, exist_ok=True)
    for source_name, output_name in FACES:
        source = source_dir / source_name
        if not source.is_file():
            print(f"make-substitute: {source} is missing (install fonts-thai-tlwg)", file=sys.stderr)
            return 1
        try:
            make_face(source, output_dir / output_name)
        except SourceError as error:
            print(f"make-substitute: {source}: {error}", file=sys.stderr)
            return 1
        print(f"make-substitute: wrote {output_dir / output_name}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
