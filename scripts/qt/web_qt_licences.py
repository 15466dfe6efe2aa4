#!/usr/bin/env python3
"""Collects the licence texts of the parts of a Qt source tree that the static Qt for the web links in.

Usage: web_qt_licences.py QT_SOURCE OUTPUT_DIR

As qt_licences.py for Windows, with what the web platform adds: FreeType, which draws the text there, and
the Bitstream Vera font compiled into the web platform plugin.
"""

import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import qt_licences  # noqa: E402

WEB_FOLDERS = ["src/3rdparty/freetype", "src/3rdparty/wasm"]

if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    qt_licences.ATTRIBUTED_FOLDERS += WEB_FOLDERS
    output = Path(sys.argv[2])
    qt_licences.main(Path(sys.argv[1]), output)
    index = output / "THIRD-PARTY.txt"
    text = index.read_text(encoding="utf-8").replace("that Vostrel.exe links", "that the web program links", 1)
    index.write_text(text, encoding="utf-8")
