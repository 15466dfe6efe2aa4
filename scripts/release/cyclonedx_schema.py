"""The CycloneDX 1.5 JSON schema, from the CycloneDX project's own JavaScript library as the npm registry
serves it (Debian 12 packages no CycloneDX schema). Fetched once with npm into ~/.cache/vostrel/ and checked
against the pinned checksum; the schema also gives the SPDX licence and exception identifiers.

Imported by scripts/release/sbom.py."""

import base64
import hashlib
import json
import os
import shutil
import subprocess
import tarfile
import tempfile
from pathlib import Path

PACKAGE = "@cyclonedx/cyclonedx-library"
VERSION = "10.3.0"
INTEGRITY = "sha512-RIT28sp1U0PCHaaeF3yNRwk6Jig/XJ8UsYAVOMYaHQ+0VVOvsjcp0PTWQFLUqJFF8XMud+Kdq6G+wtDAh+QJFA=="
BOM_SCHEMA = "bom-1.5.SNAPSHOT.schema.json"
SPDX_SCHEMA = "spdx.SNAPSHOT.schema.json"


def schema_dir():
    """The folder holding the schema files, fetched first where it is missing."""
    cache = Path(os.environ.get("XDG_CACHE_HOME", Path.home() / ".cache")) / "vostrel"
    folder = cache / f"cyclonedx-library-{VERSION}-schema"
    if (folder / BOM_SCHEMA).is_file():
        return folder
    with tempfile.TemporaryDirectory() as work:
        packed = subprocess.run(["npm", "pack", "--silent", f"{PACKAGE}@{VERSION}"], cwd=work, check=True,
                                capture_output=True, text=True).stdout.split()[-1]
        data = Path(work, packed).read_bytes()
        got = "sha512-" + base64.b64encode(hashlib.sha512(data).digest()).decode()
        if got != INTEGRITY:
            raise SystemExit(f"{PACKAGE}@{VERSION} from npm has checksum {got}, not the pinned {INTEGRITY}")
        staging = Path(work, "schema")
        staging.mkdir()
        with tarfile.open(Path(work, packed)) as archive:
            for member in archive.getmembers():
                if member.isfile() and member.name.startswith("package/res/schema/") and member.name.endswith(".json"):
                    (staging / Path(member.name).name).write_bytes(archive.extractfile(member).read())
        folder.parent.mkdir(parents=True, exist_ok=True)
        shutil.rmtree(folder, ignore_errors=True)
        shutil.move(str(staging), folder)
    return folder


def load(name):
    return json.loads((schema_dir() / name).read_text(encoding="utf-8"))


def spdx_identifiers():
    """Every SPDX licence and exception identifier the schema accepts."""
    return set(load(SPDX_SCHEMA)["enum"])
