"""What the static Qt 6.8 for the web is said to hold, from a small Qt 6.8-shaped source tree: the licence
texts and THIRD-PARTY.txt (scripts/qt/web_qt68_licences.py), the record of what went in, and the bill of
materials made from that record (scripts/release/sbom.py): Qt 6.8's copyrights given as lists of lines,
SipHash in a folder of its own, DejaVu Sans kept, Debian 13's upstream_cve- fixes named as security fixes,
and our build fixes found in the folder of their Qt version."""

import json
import os
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
COLLECTOR = ROOT / "scripts" / "qt" / "web_qt68_licences.py"
sys.path.insert(0, str(ROOT / "scripts" / "qt"))
sys.path.insert(0, str(ROOT / "scripts" / "release"))
import qt_licences  # noqa: E402
import sbom  # noqa: E402

SECURITY_FIX = "upstream_cve-2025-5992_input_range_qcolortransformation.diff"


def attribution(entry_id, name, copyright, licence_file=None):
    entry = {"Id": entry_id, "Name": name, "Version": "1.0", "License": "MIT License", "LicenseId": "MIT",
             "Copyright": copyright}
    if licence_file:
        entry["LicenseFile"] = licence_file
    return entry


def make_source(folder):
    """The pieces of a qt6-base source tree that the collectors read."""
    (folder / "LICENSES").mkdir(parents=True)
    (folder / "LICENSES" / "LGPL-3.0-only.txt").write_text("LGPL\n")
    (folder / "debian" / "patches").mkdir(parents=True)
    (folder / "debian" / "copyright").write_text("Format: copyright\n")
    (folder / "debian" / "changelog").write_text("qt6-base (6.8.2+dfsg-9+deb13u2) trixie; urgency=medium\n")
    (folder / "debian" / "patches" / SECURITY_FIX).write_text("--- a\n+++ b\n")
    for attributed in qt_licences.ATTRIBUTED_FOLDERS + ["src/3rdparty/freetype", "src/3rdparty/wasm"]:
        (folder / attributed).mkdir(parents=True, exist_ok=True)
        entry_id = attributed.rsplit("/", 1)[-1]
        entries = [attribution(entry_id, f"Piece {entry_id}", "Copyright (C) Someone")]
        (folder / attributed / "qt_attribution.json").write_text(json.dumps(entries))
    fonts = folder / "src" / "3rdparty" / "wasm"
    (fonts / "DEJAVU-LICENSE").write_text("Bitstream Vera licence\n")
    (fonts / "qt_attribution.json").write_text(json.dumps(
        attribution("dejayvu", "DejaVu Fonts", ["Copyright (c) 2003 by Bitstream, Inc",
                                                "Copyright (c) 2006 by Tavmjong Bah"], "DEJAVU-LICENSE")))
    siphash = folder / "src" / "3rdparty" / "siphash"
    siphash.mkdir(parents=True)
    (siphash / "qt_attribution.json").write_text(json.dumps(
        attribution("siphash", "SipHash Algorithm", ["Copyright (C) 2012-2014 Jean-Philippe Aumasson",
                                                     "Copyright (C) 2016 Intel Corporation"])))


class WebQtCollectionTest(unittest.TestCase):
    def setUp(self):
        work = tempfile.TemporaryDirectory()
        self.addCleanup(work.cleanup)
        self.source, self.prefix = Path(work.name) / "src", Path(work.name) / "qt"
        make_source(self.source)

    def collect(self, *arguments):
        subprocess.run([sys.executable, str(COLLECTOR), *map(str, arguments)], check=True)

    def test_licence_texts_name_every_piece_with_its_copyright_on_one_line(self):
        self.collect("licences", self.source, self.prefix / "licences")
        index = (self.prefix / "licences" / "THIRD-PARTY.txt").read_text(encoding="utf-8")
        self.assertTrue(index.startswith("Third-party code in the parts of Qt that the web program links"), index)
        self.assertIn("Copyright: Copyright (c) 2003 by Bitstream, Inc Copyright (c) 2006 by Tavmjong Bah", index)
        self.assertIn("SipHash Algorithm 1.0", index)
        self.assertTrue((self.prefix / "licences" / "third-party" / "dejayvu-DEJAVU-LICENSE").is_file())

    def test_record_and_bill_name_what_went_in(self):
        own = ROOT / "scripts" / "qt" / "patches" / "web-6.8" / "wasm-fonts-sans-only.patch"
        self.collect("record", self.source, self.prefix, "--target", "wasm32-unknown-emscripten",
                     "--debian-patch", self.source / "debian" / "patches" / SECURITY_FIX, "--own-patch", own)
        record = json.loads((self.prefix / "vostrel-qt-record.json").read_text(encoding="utf-8"))
        self.assertEqual(record["version"], "6.8.2")
        pieces = {piece["id"]: piece for piece in record["thirdParty"]}
        self.assertEqual(pieces["siphash"]["folder"], "src/3rdparty/siphash")
        self.assertIn("Tavmjong Bah", pieces["dejayvu"]["copyright"])  # DejaVu Sans stays compiled in
        # The record names its collectors, so that static-qt.sh collects afresh when one changes.
        self.assertEqual(set(record["collectorSha256"]), {"web_qt68_licences.py", "qt_licences.py"})

        known = {"MIT", "LGPL-3.0-only", "GPL-2.0-only", "GPL-3.0-only"}
        original = sbom.cyclonedx_schema.spdx_identifiers
        sbom.cyclonedx_schema.spdx_identifiers = lambda: known
        self.addCleanup(setattr, sbom.cyclonedx_schema, "spdx_identifiers", original)
        qt, _ = sbom.qt_components(record)
        patches = qt["pedigree"]["patches"]
        self.assertEqual(patches[0]["resolves"][0]["id"], "CVE-2025-5992")
        self.assertEqual(patches[1]["diff"]["url"], "scripts/qt/patches/web-6.8/wasm-fonts-sans-only.patch")
        self.assertTrue(os.path.isfile(ROOT / patches[1]["diff"]["url"]))
        # Qt 6.8 names some licences by a reference of its own, which a bill gives as an expression.
        self.assertEqual(sbom.licences("LicenseRef-SHA1-Public-Domain"),
                         [{"expression": "LicenseRef-SHA1-Public-Domain"}])
        self.assertEqual(sbom.licences("MIT"), [{"license": {"id": "MIT"}}])


if __name__ == "__main__":
    unittest.main(verbosity=2)
