"""The CycloneDX 1.5 JSON schema, from the CycloneDX project's own JavaScript library as the npm registry
serves it (Debian 12 packages no CycloneDX schema). Fetched once with npm into ~/.cache/vostrel/ and checked
against the pinned checksum (scripts/npm_cache.py); the schema also gives the SPDX licence and exception
identifiers.

Imported by scripts/release/sbom.py."""

import json
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
import npm_cache  # noqa: E402

PACKAGE = "@cyclonedx/cyclonedx-library"
VERSION = "10.3.0"
INTEGRITY = "sha512-RIT28sp1U0PCHaaeF3yNRwk6Jig/XJ8UsYAVOMYaHQ+0VVOvsjcp0PTWQFLUqJFF8XMud+Kdq6G+wtDAh+QJFA=="
BOM_SCHEMA = "bom-1.5.SNAPSHOT.schema.json"
SPDX_SCHEMA = "spdx.SNAPSHOT.schema.json"


def schema_dir():
    """The folder holding the schema files, fetched first where it is missing."""
    return npm_cache.package(PACKAGE, VERSION, INTEGRITY) / "res" / "schema"


def load(name):
    return json.loads((schema_dir() / name).read_text(encoding="utf-8"))


def spdx_identifiers():
    """Every SPDX licence and exception identifier the schema accepts."""
    return set(load(SPDX_SCHEMA)["enum"])
