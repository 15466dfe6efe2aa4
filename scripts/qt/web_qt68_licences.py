#!/usr/bin/env python3
"""Collects the licence texts of the parts of a Qt 6.8 source tree that the static Qt for the web links in,
and writes the record of what went into it; web_qt_licences.py did the former for Qt 6.4.

Usage: web_qt68_licences.py licences QT_SOURCE OUTPUT_DIR
       web_qt68_licences.py record QT_SOURCE PREFIX --target TRIPLE [...]   (as qt_build_record.py)

As qt_licences.py for Windows, with what the web platform adds: FreeType, which draws the text there, and
the DejaVu Sans font compiled into the web platform plugin. Qt 6.8 keeps QHash's SipHash in a folder of its
own (Qt 6.4 had it under src/corelib), and its attribution files give some copyrights as lists of lines,
which are joined here as Qt 6.4's single lines were. The record holds the SHA-256 of this script and of
qt_licences.py too, so that static-qt.sh collects both afresh from the source, without a build, when either
changes.
"""

import hashlib
import json
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import qt_build_record  # noqa: E402
import qt_licences  # noqa: E402

WEB_FOLDERS = ["src/3rdparty/freetype", "src/3rdparty/wasm", "src/3rdparty/siphash"]


def attributions(path):
    entries = qt_licences_attributions(path)
    for entry in entries:
        if isinstance(entry.get("Copyright"), list):
            entry["Copyright"] = "\n".join(entry["Copyright"])
    return entries


qt_licences_attributions = qt_licences.attributions
qt_licences.attributions = qt_build_record.attributions = attributions


def licences(source, output):
    qt_licences.ATTRIBUTED_FOLDERS += WEB_FOLDERS
    qt_licences.main(source, output)
    index = output / "THIRD-PARTY.txt"
    text = index.read_text(encoding="utf-8").replace("that Vostrel.exe links", "that the web program links", 1)
    index.write_text(text, encoding="utf-8")


def record(arguments):
    qt_build_record.WEB_FOLDERS = WEB_FOLDERS
    # DejaVu Sans stays compiled in; only its fixed-pitch face is left out (patches/web-6.8).
    qt_build_record.LEFT_OUT_BY_OUR_PATCHES = set()
    sys.argv = [sys.argv[0], *arguments]
    qt_build_record.main()
    path = Path(arguments[1]) / qt_build_record.RECORD_NAME
    made = json.loads(path.read_text(encoding="utf-8"))
    made["collectorSha256"] = {script.name: hashlib.sha256(script.read_bytes()).hexdigest()
                               for script in (Path(__file__), Path(qt_licences.__file__))}
    path.write_text(json.dumps(made, indent=2, ensure_ascii=False) + "\n", encoding="utf-8")


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "licences":
        licences(Path(sys.argv[2]), Path(sys.argv[3]))
    elif len(sys.argv) > 2 and sys.argv[1] == "record":
        record(sys.argv[2:])
    else:
        raise SystemExit(__doc__)
