#!/usr/bin/python3
"""Writes a copy of a TrueType font under another family name: rename_font.py IN OUT FAMILY."""

import sys

from fontTools.ttLib import TTFont

FAMILY_NAME_IDS = (1, 4, 16)  # family, full name, typographic family
POSTSCRIPT_NAME_ID = 6


def main(argv):
    if len(argv) != 4:
        print(__doc__, file=sys.stderr)
        return 2
    source, output, family = argv[1:]
    font = TTFont(source, recalcTimestamp=False)
    for record in font["name"].names:
        if record.nameID in FAMILY_NAME_IDS:
            record.string = family
        elif record.nameID == POSTSCRIPT_NAME_ID:
            record.string = family.replace(" ", "")
    font.save(output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
