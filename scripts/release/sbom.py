#!/usr/bin/env python3
"""Bills of materials of the release artefacts, in CycloneDX 1.5 JSON.

Called by release.sh and by tests/release/test_signing.sh.

  sbom.py make [--qt-record KIND=RECORD]... ARTEFACT...
      writes ARTEFACT.cdx.json beside each artefact, from what its build used: the artefact's own version and
      SHA-256; for the Windows zip and installer and the web zip the static Qt's record (qt_build_record.py),
      whose KIND is windows or web, and the toolchain's runtime compiled in; for the Debian package the
      packages it depends on, read from the package; and the window font's substitute compiled into every one.
  sbom.py check [--qt-record KIND=RECORD]... BOM...
      validates each against the CycloneDX 1.5 schema (with Debian's python3-jsonschema), checks every SPDX
      identifier in its licence expressions, and that it names the Qt of the record of its kind.

The kind of an artefact comes from its name: *.deb, *-windows-*.zip or .msi, *-web.zip. Every time in a bill
is SOURCE_DATE_EPOCH, and its serial number is derived from the artefact's hash: the same artefact gives the
same bill.
"""

import argparse
import datetime
import hashlib
import json
import os
import re
import subprocess
import sys
import uuid
from pathlib import Path
from urllib.parse import unquote

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cyclonedx_schema  # noqa: E402
import publisher  # noqa: E402

# By name only: the project's address receives no mail (resources/publisher.conf).
SUPPLIER = {"name": publisher.read()["name"]}
VOSTREL_LICENCE = "GPL-2.0-or-later"
FONT_PACKAGE = "fonts-thai-tlwg"

# The runtime each cross toolchain links into the program, as Debian packages it.
TOOLCHAIN_RUNTIME = {
    "windows": [
        {"name": "mingw-w64 runtime", "package": "mingw-w64-x86-64-dev",
         "description": "MinGW-w64 C runtime start-up code and winpthreads, linked statically",
         # The start-up code is in the public domain, some files under other permissive terms (all in the
         # zip's licences/MinGW-w64-runtime.txt): SPDX has no identifier for that whole.
         "expression": "ZPL-2.1 AND MIT AND LicenseRef-MinGW-w64-runtime-other-permissive"},
        {"name": "GCC runtime (libstdc++, libgcc)", "package": "g++-mingw-w64-x86-64-posix",
         "description": "the C++ standard library and GCC's support library, linked statically",
         "expression": "GPL-3.0-or-later WITH GCC-exception-3.1"},
    ],
    "web": [
        {"name": "Emscripten runtime", "package": "emscripten",
         "description": "Emscripten's C and C++ libraries and JavaScript glue, compiled in",
         "expression": "MIT OR NCSA"},
    ],
}


def kind_of(name):
    if name.endswith(".deb"):
        return "deb"
    if re.search(r"-windows-[^-]+\.(zip|msi)$", name):
        return "windows"
    if name.endswith("-web.zip"):
        return "web"
    raise SystemExit(f"{name}: no bill of materials is known for this kind of artefact")


def run(*command):
    return subprocess.run(command, check=True, capture_output=True, text=True).stdout


def installed_version(package):
    return run("dpkg-query", "-W", "-f=${Version}", package)


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as file:
        for block in iter(lambda: file.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def release_time():
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "")
    if not epoch.isdigit():
        raise SystemExit("SOURCE_DATE_EPOCH must hold the release time (seconds since 1970)")
    epoch = int(epoch)
    return datetime.datetime.fromtimestamp(epoch, datetime.timezone.utc).strftime("%Y-%m-%dT%H:%M:%SZ")


def licences(expression, name=None, known=None):
    """CycloneDX licences: the SPDX expression where every identifier in it is one, else the licence's name."""
    known = known if known is not None else cyclonedx_schema.spdx_identifiers()
    words = [w for w in re.split(r"[\s()]+", expression or "") if w and w not in ("AND", "OR", "WITH")]
    if words and all(word in known or word.startswith("LicenseRef-") for word in words):
        # A licence's id is an SPDX identifier; one of the document's own (Qt 6.8 names some) is an expression.
        single = len(words) == 1 and not words[0].startswith("LicenseRef-")
        return [{"license": {"id": words[0]}}] if single else [{"expression": expression}]
    return [{"license": {"name": name or expression}}] if (name or expression) else []


def purl_deb(name, version=None, arch=None):
    purl = f"pkg:deb/debian/{name}"
    if version:
        purl += "@" + version.replace("+", "%2B").replace(":", "%3A")
    return purl + (f"?arch={arch}" if arch else "")


def window_font():
    version = installed_version(FONT_PACKAGE)
    return {
        "type": "file", "bom-ref": "norasi-upc", "name": "Norasi UPC", "version": version,
        "description": "the window font's substitute: Norasi of fonts-thai-tlwg, rescaled and renamed, compiled in",
        "licenses": [{"expression": "GPL-2.0-or-later WITH Font-exception-2.0"}],
        "pedigree": {"ancestors": [{"type": "file", "name": "Norasi", "version": version,
                                    "purl": purl_deb(FONT_PACKAGE, version, "all")}]},
    }


def qt_components(record):
    """Qt with the third-party code compiled into it, and the patches applied to Debian's source."""
    third_party = []
    for piece in record["thirdParty"]:
        component = {"type": "library", "bom-ref": f"qt/{piece['id']}", "name": piece["name"],
                     "licenses": licences(piece["licenceExpression"], piece["licence"])}
        if piece.get("version"):
            component["version"] = piece["version"]
        if piece.get("copyright"):
            component["copyright"] = piece["copyright"]
        if piece.get("homepage"):
            component["externalReferences"] = [{"type": "website", "url": piece["homepage"]}]
        component["properties"] = [{"name": "vostrel:qt-source-folder", "value": piece["folder"]}]
        third_party.append(component)
    patches = []
    for patch in record["debianPatches"]:
        entry = {"type": "backport", "diff": {"url": f"debian/patches/{patch['name']}"}}
        cve = re.match(r"(?:upstream_)?cve-(\d{4}-\d+)", patch["name"], re.I)
        if cve:
            entry["resolves"] = [{"type": "security", "id": f"CVE-{cve[1]}", "source": {"name": "NVD"}}]
        patches.append(entry)
    own_folder = "web" if "emscripten" in record["target"] else "windows"
    # Build fixes made for one Qt version live in a folder of their own (scripts/qt/static-qt.sh).
    versioned = own_folder + "-" + ".".join(record["version"].split(".")[:2])
    if (Path(__file__).resolve().parents[1] / "qt" / "patches" / versioned).is_dir():
        own_folder = versioned
    patches += [{"type": "unofficial", "diff": {"url": f"scripts/qt/patches/{own_folder}/{patch['name']}"}}
                for patch in record["ownPatches"]]
    qt = {
        "type": "framework", "bom-ref": "qt", "name": "qtbase", "version": record["version"],
        "description": f"Qt {record['version']} Core, Gui and Widgets, static, for {record['target']}",
        "licenses": licences(record["licenceExpression"]),
        "purl": purl_deb(record["debianSource"], record["debianVersion"], "source"),
        "pedigree": {"ancestors": [{"type": "framework", "name": record["debianSource"],
                                    "version": record["debianVersion"],
                                    "purl": purl_deb(record["debianSource"], record["debianVersion"], "source")}],
                     "patches": patches},
        "properties": [{"name": "vostrel:debian-revision", "value": record["debianRevision"]},
                       {"name": "vostrel:target", "value": record["target"]}]
                      + [{"name": "vostrel:debian-patch", "value": f"{p['name']} sha256:{p['sha256']}"}
                         for p in record["debianPatches"]],
        "components": third_party,
    }
    return qt, [{"ref": "qt", "dependsOn": [c["bom-ref"] for c in third_party]}]


def runtime_components(kind, qt_record):
    components = []
    for runtime in TOOLCHAIN_RUNTIME[kind]:
        # The Qt for the web is built in a chroot, whose emscripten static-qt.sh names beside the Qt.
        kept = Path(qt_record).parent / "emsdk" / f"{runtime['package']}.version"
        version = kept.read_text(encoding="utf-8").strip() if kept.is_file() else installed_version(runtime["package"])
        components.append({
            "type": "library", "bom-ref": f"runtime/{runtime['package']}", "name": runtime["name"],
            "version": version, "description": runtime["description"],
            "licenses": licences(runtime["expression"]),
            "purl": purl_deb(runtime["package"], version),
        })
    return components


def package_dependencies(deb):
    """The packages the Debian package depends on (required) and recommends (optional), from its control."""
    components = []
    for field, scope in (("Depends", "required"), ("Recommends", "optional")):
        value = run("dpkg-deb", "--field", str(deb), field).strip()
        for relation in filter(None, (part.strip() for part in value.split(","))):
            name = re.match(r"[a-z0-9][a-z0-9+.-]+", relation)[0]
            components.append({"type": "library", "bom-ref": f"deb/{name}", "name": name, "scope": scope,
                               "purl": purl_deb(name),
                               "properties": [{"name": f"debian:{field.lower()}", "value": relation}]})
    return components


def artefact_version(artefact, kind):
    if kind == "deb":
        return run("dpkg-deb", "--field", str(artefact), "Version").strip()
    match = re.match(r"Vostrel-(\d+\.\d+\.\d+)-", artefact.name)
    if not match:
        raise SystemExit(f"{artefact.name}: no version in the name")
    return match[1]


def make(artefact, qt_records):
    kind = kind_of(artefact.name)
    digest = sha256(artefact)
    version = artefact_version(artefact, kind)
    components, dependencies = [window_font()], []
    if kind in ("windows", "web"):
        if kind not in qt_records:
            raise SystemExit(f"{artefact.name}: the record of the {kind} Qt is needed (--qt-record {kind}=FILE)")
        qt, qt_dependencies = qt_components(json.loads(Path(qt_records[kind]).read_text(encoding="utf-8")))
        components = [qt, *runtime_components(kind, qt_records[kind]), *components]
        dependencies += qt_dependencies
    else:
        components += package_dependencies(artefact)
    dependencies.insert(0, {"ref": "vostrel", "dependsOn": [c["bom-ref"] for c in components]})
    dependencies += [{"ref": c["bom-ref"]} for c in components if c["bom-ref"] != "qt"]
    return {
        "bomFormat": "CycloneDX", "specVersion": "1.5",
        "serialNumber": f"urn:uuid:{uuid.uuid5(uuid.NAMESPACE_URL, 'vostrel-release-artefact:' + digest)}",
        "version": 1,
        "metadata": {
            "timestamp": release_time(),
            "tools": {"components": [{"type": "application", "name": "Vostrel release (scripts/release/sbom.py)"}]},
            "component": {
                "type": "application", "bom-ref": "vostrel", "supplier": SUPPLIER, "name": "Vostrel",
                "version": version, "description": f"Vostrel periodic table, release artefact {artefact.name}",
                "licenses": licences(VOSTREL_LICENCE), "hashes": [{"alg": "SHA-256", "content": digest}],
                "properties": [{"name": "vostrel:artefact", "value": artefact.name},
                               {"name": "vostrel:artefact-kind", "value": kind}],
            },
        },
        "components": components,
        "dependencies": dependencies,
    }


def every_component(bom):
    stack = list(bom.get("components", []))
    while stack:
        component = stack.pop()
        stack.extend(component.get("components", []))
        yield component


def problems(bom_path, qt_records):
    """What is wrong with one bill: schema errors, unknown SPDX identifiers, a missing or other Qt."""
    import jsonschema

    schema = cyclonedx_schema.load(cyclonedx_schema.BOM_SCHEMA)
    # The schema refers to its neighbours relative to its own address: they are served from the files.
    base = schema["$id"].rsplit("/", 1)[0] + "/"
    store = {base + name: cyclonedx_schema.load(name)
             for name in (cyclonedx_schema.SPDX_SCHEMA, "jsf-0.82.SNAPSHOT.schema.json")}
    resolver = jsonschema.RefResolver.from_schema(schema, store=store)
    bom = json.loads(Path(bom_path).read_text(encoding="utf-8"))
    found = [f"{'/'.join(map(str, error.absolute_path))}: {error.message}"
             for error in jsonschema.Draft7Validator(schema, resolver=resolver).iter_errors(bom)]
    known = cyclonedx_schema.spdx_identifiers()
    for component in [bom.get("metadata", {}).get("component", {}), *every_component(bom)]:
        for choice in component.get("licenses", []):
            expression = choice.get("expression", "")
            for word in re.split(r"[\s()]+", expression):
                if word and word not in ("AND", "OR", "WITH") and word not in known and not word.startswith("LicenseRef-"):
                    found.append(f"{component.get('name')}: {word} is no SPDX identifier")
    kind = next((p["value"] for p in bom.get("metadata", {}).get("component", {}).get("properties", [])
                 if p["name"] == "vostrel:artefact-kind"), None)
    if kind in qt_records:
        record = json.loads(Path(qt_records[kind]).read_text(encoding="utf-8"))
        qt = [c for c in bom.get("components", []) if c.get("bom-ref") == "qt"]
        if not qt or qt[0].get("version") != record["version"] or record["debianVersion"] not in unquote(qt[0].get("purl", "")):
            found.append(f"names no Qt {record['debianVersion']}, the Qt of the build")
    return found


def parse_records(pairs):
    records = {}
    for pair in pairs:
        kind, _, path = pair.partition("=")
        if kind not in TOOLCHAIN_RUNTIME or not Path(path).is_file():
            raise SystemExit(f"--qt-record {pair}: want windows=FILE or web=FILE naming an existing record")
        records[kind] = path
    return records


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("action", choices=["make", "check"])
    parser.add_argument("--qt-record", action="append", default=[], metavar="KIND=FILE")
    parser.add_argument("files", nargs="+", type=Path)
    args = parser.parse_args()
    records = parse_records(args.qt_record)
    failed = False
    for path in args.files:
        if args.action == "make":
            bom = make(path, records)
            out = path.with_name(path.name + ".cdx.json")
            out.write_text(json.dumps(bom, indent=2, ensure_ascii=False) + "\n", encoding="utf-8")
            print(f"Made {out.name} ({len(list(every_component(bom)))} components)")
        else:
            found = problems(path, records)
            for problem in found:
                print(f"{path.name}: {problem}", file=sys.stderr)
            failed |= bool(found)
            if not found:
                print(f"{path.name}: a valid CycloneDX 1.5 bill of materials")
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
