"""Packages from the npm registry that the build, its tests and its benchmarks use, each pinned by version and
checksum and fetched once with the machine's npm into ~/.cache/vostrel/ (Debian 12 packages none of them).

- package(): one package's files, from its tarball checked against the pinned checksum (the CycloneDX
  schema, axe-core);
- installed(): a package with everything it depends on, as a package-lock.json in the repository pins them,
  each checked by npm ci against its checksum (Lighthouse).

Imported by scripts/release/cyclonedx_schema.py, tests/web/ and bench/run_web_benchmarks.py."""

import base64
import hashlib
import json
import os
import shutil
import subprocess
import tarfile
import tempfile
from pathlib import Path


def cache_dir():
    return Path(os.environ.get("XDG_CACHE_HOME", Path.home() / ".cache")) / "vostrel"


def npm(*arguments, cwd):
    if shutil.which("npm") is None:
        raise SystemExit("npm is missing: scripts/deps.sh lists it for the commands that need it")
    run = subprocess.run(["npm", *arguments], cwd=cwd, capture_output=True, text=True)
    if run.returncode != 0:
        raise SystemExit(f"npm {' '.join(arguments)} failed:\n{run.stderr.strip()}")
    return run.stdout


def integrity_of(data):
    return "sha512-" + base64.b64encode(hashlib.sha512(data).digest()).decode()


def unpack(archive, into):
    """The tarball's files under package/, as plain files: nothing outside `into`, no links."""
    with tarfile.open(archive) as tar:
        for member in tar.getmembers():
            parts = Path(member.name).parts
            if not member.isfile() or len(parts) < 2 or parts[0] != "package" or ".." in parts:
                continue
            target = into.joinpath(*parts[1:])
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(tar.extractfile(member).read())


def settle(staging, folder):
    """The finished folder moved into its place in the cache; a half-made one never stands there."""
    folder.parent.mkdir(parents=True, exist_ok=True)
    shutil.rmtree(folder, ignore_errors=True)
    shutil.move(str(staging), folder)
    return folder


def package(name, version, integrity):
    """The folder holding the package's files (its package.json at the top), fetched where missing."""
    folder = cache_dir() / f"npm-{name.lstrip('@').replace('/', '-')}-{version}"
    if (folder / "package.json").is_file():
        return folder
    with tempfile.TemporaryDirectory() as work:
        packed = npm("pack", "--silent", f"{name}@{version}", cwd=work).split()[-1]
        got = integrity_of(Path(work, packed).read_bytes())
        if got != integrity:
            raise SystemExit(f"{name}@{version} from npm has checksum {got}, not the pinned {integrity}")
        staging = Path(work, "package")
        unpack(Path(work, packed), staging)
        return settle(staging, folder)


def installed(project):
    """The folder where the packages that `project` (a folder with package.json and package-lock.json) pins
    are installed, with node_modules/.bin holding their commands; installed where missing. The folder's name
    carries the lock's hash, so that a new pin is a new folder."""
    lock = Path(project, "package-lock.json").read_bytes()
    pinned = json.loads(lock)["packages"][""]
    name = pinned.get("name") or Path(project).name
    folder = cache_dir() / f"npm-{name}-{hashlib.sha256(lock).hexdigest()[:12]}"
    if (folder / "node_modules" / ".package-lock.json").is_file():
        return folder
    with tempfile.TemporaryDirectory() as work:
        staging = Path(work, "project")
        staging.mkdir()
        for file in ("package.json", "package-lock.json"):
            shutil.copy(Path(project, file), staging / file)
        # Install scripts are not run: nothing here needs one, and none of them may reach for the network.
        npm("ci", "--ignore-scripts", "--no-audit", "--no-fund", "--omit=dev", cwd=staging)
        return settle(staging, folder)
