#!/usr/bin/env python3
"""Prints deb-src entries (deb822) for the machine's own apt sources that serve a given package.

The Windows Qt is built from the Debian source of exactly the host's Qt, fetched from wherever this
machine's apt already fetches its packages: a school's mirror or proxy just works, and no archive
address is written into the project. The sources are read from apt's own configuration, deb822
.sources files and one-line .list files alike, and kept where apt says the package comes from.

usage: apt_deb_src.py PACKAGE
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


def serving_uris(package):
    """The archive addresses apt lists as offering the package (apt-cache policy's version table)."""
    out = subprocess.run(["apt-cache", "policy", package], check=True, capture_output=True, text=True).stdout
    uris = set()
    for line in out.splitlines():
        words = line.split()
        if len(words) >= 3 and words[0].isdigit() and "://" in words[1]:
            uris.add(words[1].rstrip("/"))
    return uris


# deb822 option names for the one-line options apt knows under another spelling.
ONE_LINE_OPTION_NAMES = {"signed-by": "Signed-By", "arch": "Architectures", "trusted": "Trusted"}


def main():
    if len(sys.argv) != 2:
        raise SystemExit(__doc__.strip().splitlines()[-1])
    wanted = serving_uris(sys.argv[1])
    stanzas = []
    for path in source_files():
        with open(path, encoding="utf-8") as f:
            text = f.read()
        entries = deb822_entries(text) if path.endswith(".sources") else one_line_entries(text)
        for entry in entries:
            uris = [u for u in entry["URIs"] if u.rstrip("/") in wanted]
            if not uris or not entry["Suites"]:
                continue
            lines = ["Types: deb-src", "URIs: " + " ".join(uris), "Suites: " + " ".join(entry["Suites"])]
            if entry["Components"]:
                lines.append("Components: " + " ".join(entry["Components"]))
            for key, value in entry["options"].items():
                if key.lower() in ("architectures", "arch"):
                    continue  # source indices have no architecture
                name = ONE_LINE_OPTION_NAMES.get(key.lower(), key if key[0].isupper() else key.title())
                lines.append(f"{name}: {value}")
            stanzas.append("\n".join(lines))
    if not stanzas:
        raise SystemExit(
            f"apt_deb_src.py: no apt source of this machine offers {sys.argv[1]}; run 'apt-get update' and try again"
        )
    print("\n\n".join(stanzas))


if __name__ == "__main__":
    main()
