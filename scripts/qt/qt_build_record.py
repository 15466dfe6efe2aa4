#!/usr/bin/env python3
"""Writes the record of what went into a static Qt, for the bills of materials of the programs built with it.

Called by scripts/qt/static-qt.sh, for each Qt it builds or finds without a record.

Usage: qt_build_record.py QT_SOURCE PREFIX --target TRIPLE [--debian-patch FILE...] [--own-patch FILE...]

QT_SOURCE is the unpacked Debian qt6-base source the Qt was built from, PREFIX the Qt's install prefix. The
record, PREFIX/vostrel-qt-record.json, holds Qt's version and Debian revision (from the source's
debian/changelog), the Debian patches and our own patches applied (with their SHA-256), and the third-party
code compiled in, as the source's own qt_attribution.json files name it: what the attributed folders of
qt_licences.py hold, less what serves other platforms only. It also holds the SHA-256 of this script, so that
a record made by an older version of it can be told apart and made anew.
"""

import argparse
import hashlib
import json
import re
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from qt_licences import ATTRIBUTED_FOLDERS, attributions  # noqa: E402
from web_qt_licences import WEB_FOLDERS  # noqa: E402

RECORD_NAME = "vostrel-qt-record.json"

# Qt itself, as its LICENSES folder offers it to programs that link it (the commercial licence aside).
QT_LICENCE = "LGPL-3.0-only OR GPL-2.0-only OR GPL-3.0-only"

# Attributed code that a build for these targets never compiles, whatever its folder: each entry names the
# platforms it serves (its QtUsage says so too).
OTHER_PLATFORMS_ONLY = {
    "qeventdispatcher_cf": ("apple",),
    "valgrind": ("linux", "apple"),
    "linuxperf": ("linux", "android"),
}

# Attributed code that this project's own build fixes take out of Qt (scripts/qt/patches/).
LEFT_OUT_BY_OUR_PATCHES = {
    "dejayvu",  # the web platform's DejaVu fonts: only Vera stays compiled in
}

# SPDX identifiers that Qt 6.4's attribution files give in a deprecated or non-standard spelling.
SPDX_SPELLING = {"GPL-2.0": "GPL-2.0-only", "or": "OR", "and": "AND", "with": "WITH"}


def sha256(path):
    return hashlib.sha256(Path(path).read_bytes()).hexdigest()


def debian_version(source):
    """The version of the topmost debian/changelog entry, e.g. '6.4.2+dfsg-10'."""
    first = (source / "debian" / "changelog").read_text(encoding="utf-8").splitlines()[0]
    match = re.match(r"^qt6-base \(([^)]+)\)", first)
    if not match:
        raise SystemExit(f"{source}/debian/changelog does not start with a qt6-base entry: {first!r}")
    return match[1]


def spdx_expression(entry):
    """The entry's licence as an SPDX expression, or None where the attribution gives no SPDX identifier."""
    given = entry.get("LicenseId")
    if not given:
        return None
    return " ".join(SPDX_SPELLING.get(word, word) for word in given.replace("(", " ( ").replace(")", " ) ").split())


def third_party(source, target):
    components = []
    # The web platform draws text with the FreeType and the font that it compiles in.
    folders = ATTRIBUTED_FOLDERS + (WEB_FOLDERS if "emscripten" in target else [])
    for folder in folders:
        for attribution in sorted((source / folder).rglob("qt_attribution.json")):
            for entry in attributions(attribution):
                if entry["Id"] in LEFT_OUT_BY_OUR_PATCHES:
                    continue
                platforms = OTHER_PLATFORMS_ONLY.get(entry["Id"])
                if platforms and not any(platform in target for platform in platforms):
                    continue
                components.append({
                    "id": entry["Id"],
                    "name": entry["Name"],
                    "version": entry.get("Version"),
                    "licenceExpression": spdx_expression(entry),
                    "licence": entry.get("License"),
                    "copyright": " ".join(entry.get("Copyright", "").split()) or None,
                    "homepage": entry.get("Homepage"),
                    "download": entry.get("DownloadLocation"),
                    "usage": entry.get("QtUsage"),
                    "folder": str(attribution.parent.relative_to(source)),
                })
    return components


def patch_list(paths):
    return [{"name": Path(path).name, "sha256": sha256(path)} for path in paths]


def record(source, target, debian_patches, own_patches):
    version = debian_version(source)
    upstream = version.split(":")[-1].rsplit("-", 1)[0].split("+")[0]
    return {
        "recordScriptSha256": sha256(__file__),
        "name": "qtbase",
        "version": upstream,
        "debianSource": "qt6-base",
        "debianVersion": version,
        "debianRevision": version.rsplit("-", 1)[1] if "-" in version else "",
        "target": target,
        "licenceExpression": QT_LICENCE,
        "debianPatches": patch_list(debian_patches),
        "ownPatches": patch_list(own_patches),
        "thirdParty": third_party(source, target),
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("source", type=Path)
    parser.add_argument("prefix", type=Path)
    parser.add_argument("--target", required=True, help="the Qt's target triple, e.g. x86_64-w64-mingw32")
    parser.add_argument("--debian-patch", nargs="*", default=[], help="Debian's patches applied, in order")
    parser.add_argument("--own-patch", nargs="*", default=[], help="our own patches applied, in order")
    args = parser.parse_args()
    if not (args.source / "debian" / "changelog").is_file():
        parser.error(f"{args.source} is no unpacked Debian source (no debian/changelog)")
    args.prefix.mkdir(parents=True, exist_ok=True)
    made = record(args.source, args.target, args.debian_patch, args.own_patch)
    (args.prefix / RECORD_NAME).write_text(json.dumps(made, indent=2, ensure_ascii=False) + "\n", encoding="utf-8")


if __name__ == "__main__":
    main()
