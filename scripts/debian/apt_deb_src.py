#!/usr/bin/env python3
"""Prints deb-src entries (deb822) for the machine's own apt sources that serve a given package, or with
--release the deb entries of the sources that serve a Debian release, its updates and security suites.
A release the machine has no sources of (Debian 13 or unstable on a Debian 12 machine) comes from the same
addresses as the machine's own release, with the suites renamed: a mirror carries every release.

Called by scripts/qt/static-qt.sh and scripts/debian/chroot.sh.

The Windows Qt is built from the Debian source of exactly the host's Qt, and the Debian package in a
chroot of the host's release, both fetched from wherever this machine's apt already fetches its
packages: a school's mirror or proxy just works, and no archive address is written into the project.
The sources are read from apt's own configuration, deb822 .sources files and one-line .list files
alike, and kept where apt says the package or the release comes from.

usage: apt_deb_src.py PACKAGE | apt_deb_src.py --release CODENAME|unstable
"""

import glob
import os
import subprocess
import sys


def apt_config(name):
    """One value of apt's configuration, as apt itself resolves it."""
    out = subprocess.run(["apt-config", "shell", "v", name], check=True, capture_output=True, text=True).stdout
    value = out.partition("=")[2].strip()
    return value.strip("'") if value else ""


def source_files():
    """Apt's source files in the order apt reads them: the main list, then the parts folder."""
    etc = apt_config("Dir::Etc/d") or "/etc/apt"
    main = apt_config("Dir::Etc::sourcelist/f") or os.path.join(etc, "sources.list")
    parts = apt_config("Dir::Etc::sourceparts/d") or os.path.join(etc, "sources.list.d")
    files = [main] if os.path.isfile(main) else []
    files += sorted(glob.glob(os.path.join(parts, "*.list")) + glob.glob(os.path.join(parts, "*.sources")))
    return files


def one_line_entries(text):
    """Entries of a one-line .list file: deb [options] uri suite [component...]."""
    for line in text.splitlines():
        line = line.split("#", 1)[0].strip()
        words = line.split()
        if not words or words[0] != "deb":
            continue
        options = {}
        if len(words) > 1 and words[1].startswith("["):
            end = next(i for i, w in enumerate(words) if w.endswith("]"))
            for option in " ".join(words[1 : end + 1]).strip("[]").split():
                key, _, value = option.partition("=")
                options[key] = value
            words = [words[0]] + words[end + 1 :]
        if len(words) < 3:
            raise SystemExit(f"apt_deb_src.py: a source line without a suite: {line!r}")
        yield {"URIs": [words[1]], "Suites": [words[2]], "Components": words[3:], "options": options}


def deb822_entries(text):
    """Entries of a deb822 .sources file whose types include deb and that are not disabled."""
    for stanza in text.split("\n\n"):
        fields, key = {}, None
        for line in stanza.splitlines():
            if line.startswith("#") or not line.strip():
                continue
            if line[0] in " \t" and key:
                fields[key] += "\n" + line.strip()
                continue
            key, _, value = line.partition(":")
            key = key.strip().lower()
            fields[key] = value.strip()
        if "deb" not in fields.get("types", "").split() or fields.get("enabled", "yes").lower() == "no":
            continue
        options = {k: v for k, v in fields.items() if k not in ("types", "uris", "suites", "components")}
        yield {
            "URIs": fields.get("uris", "").split(),
            "Suites": fields.get("suites", "").split(),
            "Components": fields.get("components", "").split(),
            "options": options,
        }


def host_codename():
    with open("/etc/os-release", encoding="utf-8") as f:
        fields = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
    return fields["VERSION_CODENAME"].strip('"')


def package_indices():
    """(address, suite) of every package index apt knows, from apt-cache policy's list of package files."""
    out = subprocess.run(["apt-cache", "policy"], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        words = line.split()
        if len(words) >= 3 and words[0].isdigit() and "://" in words[1]:
            yield words[1].rstrip("/"), words[2].split("/")[0]


def serving_uris(package):
    """The archive addresses apt lists as offering the package (apt-cache policy's version table)."""
    out = subprocess.run(["apt-cache", "policy", package], check=True, capture_output=True, text=True).stdout
    uris = set()
    for line in out.splitlines():
        words = line.split()
        if len(words) >= 3 and words[0].isdigit() and "://" in words[1]:
            uris.add(words[1].rstrip("/"))
    return uris


def release_suites(indices, codename):
    """The (address, suite) pairs of one release: the suite named by its code name and those named after
    it (bookworm-updates, bookworm-security), as apt has indices of them."""
    return {(uri, suite) for uri, suite in indices if suite == codename or suite.startswith(codename + "-")}


# Unstable has no updates or security suites. A mirror that keeps unstable as a dated copy serves a Release
# file past its Valid-Until; its signature is still checked, and a chroot for test builds accepts the age.
UNSTABLE = "sid"


def renamed_release(entries, host_pairs, host, codename):
    """The entries of the host's release (host_pairs) with its suites renamed for another release: host to
    codename, host-updates to codename-updates and so on; for unstable only the main suite."""
    renamed = []
    for entry in entries:
        suites = [s for s in entry["Suites"] if any((u.rstrip("/"), s) in host_pairs for u in entry["URIs"])]
        uris = [u for u in entry["URIs"] if any((u.rstrip("/"), s) in host_pairs for s in suites)]
        suites = [codename + s[len(host):] for s in suites if codename != UNSTABLE or s == host]
        if uris and suites:
            options = dict(entry["options"])
            if codename == UNSTABLE:
                options["Check-Valid-Until"] = "no"
            renamed.append({"URIs": uris, "Suites": suites, "Components": entry["Components"], "options": options})
    return renamed


# deb822 option names for the one-line options apt knows under another spelling.
ONE_LINE_OPTION_NAMES = {"signed-by": "Signed-By", "arch": "Architectures", "trusted": "Trusted"}


def stanza(entry, kind, uris, suites):
    """One deb822 entry of the given type for the addresses and suites kept of a source entry."""
    lines = [f"Types: {kind}", "URIs: " + " ".join(uris), "Suites: " + " ".join(suites)]
    if entry["Components"]:
        lines.append("Components: " + " ".join(entry["Components"]))
    for key, value in entry["options"].items():
        if key.lower() in ("architectures", "arch"):
            continue  # source indices have no architecture, and a chroot is of the host's
        name = ONE_LINE_OPTION_NAMES.get(key.lower(), key if key[0].isupper() else key.title())
        lines.append(f"{name}: {value}")
    return "\n".join(lines)


def select(entries, kind, keep):
    """The entries as stanzas of type `kind`, each with only the (address, suite) pairs `keep` accepts."""
    stanzas = []
    for entry in entries:
        uris = [u for u in entry["URIs"] if any(keep(u.rstrip("/"), s) for s in entry["Suites"])]
        suites = [s for s in entry["Suites"] if any(keep(u.rstrip("/"), s) for u in uris)]
        if uris and suites:
            stanzas.append(stanza(entry, kind, uris, suites))
    return stanzas


def machine_entries():
    """Every deb entry of the machine's apt sources, in the order apt reads them."""
    for path in source_files():
        with open(path, encoding="utf-8") as f:
            text = f.read()
        yield from deb822_entries(text) if path.endswith(".sources") else one_line_entries(text)


def main():
    args = sys.argv[1:]
    if len(args) == 1 and not args[0].startswith("-"):
        wanted = serving_uris(args[0])
        stanzas = select(machine_entries(), "deb-src", lambda uri, suite: uri in wanted)
        what = args[0]
    elif len(args) == 2 and args[0] == "--release":
        codename = UNSTABLE if args[1] == "unstable" else args[1]
        indices = list(package_indices())
        pairs = release_suites(indices, codename)
        entries = list(machine_entries())
        if not pairs:
            host = host_codename()
            host_pairs = release_suites(indices, host)
            entries = renamed_release(entries, host_pairs, host, codename)
            pairs = {(u.rstrip("/"), s) for e in entries for u in e["URIs"] for s in e["Suites"]}
        stanzas = select(entries, "deb", lambda uri, suite: (uri, suite) in pairs)
        what = "Debian " + codename
    else:
        raise SystemExit(__doc__.strip().splitlines()[-1])
    if not stanzas:
        raise SystemExit(f"apt_deb_src.py: no apt source of this machine offers {what}; run 'apt-get update' and try again")
    print("\n\n".join(stanzas))


if __name__ == "__main__":
    main()
