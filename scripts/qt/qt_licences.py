#!/usr/bin/env python3
"""Collects the licence texts of the parts of a Qt source tree that the static Windows Qt links in.

Usage: qt_licences.py QT_SOURCE OUTPUT_DIR

Writes Qt's own licence texts, Debian's copyright file for the source package (every file's licence), and
for each third-party piece that is compiled into Core, Gui, Widgets, Test or the Windows platform plugin (only the first four carry any) its
licence files and a line in THIRD-PARTY.txt naming it, its version, licence and copyright.
"""

import json
import shutil
import sys
from pathlib import Path

# Where the attributions of the code in this build live. Left out: what this build does not compile
# (network, D-Bus, OpenGL, Vulkan, other platforms, JPEG, pixman's ARM code, FreeType, as Windows draws
# the text, and md4c, as no Markdown is read).
ATTRIBUTED_FOLDERS = [
    "src/corelib", "src/gui/painting", "src/gui/text", "src/testlib",
    "src/3rdparty/blake2", "src/3rdparty/double-conversion", "src/3rdparty/easing",
    "src/3rdparty/harfbuzz-ng", "src/3rdparty/icc", "src/3rdparty/libpng", "src/3rdparty/md4",
    "src/3rdparty/md5", "src/3rdparty/pcre2", "src/3rdparty/rfc6234",
    "src/3rdparty/sha1", "src/3rdparty/sha3", "src/3rdparty/tinycbor", "src/3rdparty/zlib",
]


def attributions(path):
    # Qt's attribution files are not strict JSON: some copyright strings span lines.
    data = json.loads(path.read_text(encoding="utf-8"), strict=False)
    return data if isinstance(data, list) else [data]


def licence_files(entry):
    files = entry.get("LicenseFiles") or entry.get("LicenseFile") or []
    return [files] if isinstance(files, str) else files


def main(source, output):
    output.mkdir(parents=True, exist_ok=True)
    for text in sorted((source / "LICENSES").glob("*.txt")):
        shutil.copy(text, output / f"Qt-{text.name}")
    shutil.copy(source / "debian" / "copyright", output / "Qt-Debian-copyright.txt")

    third_party = output / "third-party"
    third_party.mkdir(exist_ok=True)
    index = []
    for folder in ATTRIBUTED_FOLDERS:
        found = sorted((source / folder).rglob("qt_attribution.json"))
        if not found:
            raise SystemExit(f"no qt_attribution.json under {folder}")
        for attribution in found:
            for entry in attributions(attribution):
                copied = []
                for name in licence_files(entry):
                    text = (attribution.parent / name).resolve()
                    if not text.is_file():
                        raise SystemExit(f"{attribution}: licence file {name} is missing")
                    target = f"{entry['Id']}-{text.name}"
                    shutil.copy(text, third_party / target)
                    copied.append(f"third-party/{target}")
                index.append("\n".join([
                    f"{entry['Name']} {entry.get('Version', '')}".rstrip(),
                    f"  Licence: {entry.get('License', entry.get('LicenseId', '?'))}",
                    f"  Copyright: {' '.join(entry.get('Copyright', '').split())}",
                    f"  Text: {', '.join(copied) or 'see Qt-Debian-copyright.txt'}",
                ]))
    (output / "THIRD-PARTY.txt").write_text(
        "Third-party code in the parts of Qt that Vostrel.exe links (a few pieces serve other platforms only)\n\n" + "\n\n".join(index) + "\n",
        encoding="utf-8")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(Path(sys.argv[1]), Path(sys.argv[2]))
