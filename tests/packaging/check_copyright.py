"""debian/copyright against the source: each of its Files patterns matches a file, and wherever licensecheck
finds a licence notice in a file, it names the licence that debian/copyright gives that file. The files that
carry licence texts, not notices, are left to their own stanzas' comments.

    check_copyright.py SOURCE_DIR
"""

import fnmatch
import subprocess
import sys

LICENCE_TEXTS = {"LICENSE", "debian/copyright", "resources/fonts/NorasiUPC-COPYING.txt"}
# Files that name other works' licences as data: the lock file of the benchmark's npm packages, and the test
# of the collector of Qt's licence texts. Their own licence is the project's.
NAMES_OTHER_LICENCES = {"bench/lighthouse/package-lock.json", "tests/packaging/test_web_qt_collection.py"}


def files_stanzas(text):
    """(patterns, licence) of every Files stanza, in order; the last stanza that matches a file is its own."""
    stanzas = []
    for paragraph in text.split("\n\n"):
        fields, key = {}, None
        for line in paragraph.splitlines():
            if line[:1] in " \t" and key:
                fields[key] += " " + line.strip()
            elif ":" in line:
                key, _, value = line.partition(":")
                fields[key] = value.strip()
        if "Files" in fields:
            stanzas.append((fields["Files"].split(), fields["License"].splitlines()[0]))
    return stanzas


def licence_of(path, stanzas):
    found = None
    for patterns, licence in stanzas:
        if any(fnmatch.fnmatchcase(path, pattern) for pattern in patterns):
            found = licence
    return found


def main():
    source = sys.argv[1]
    with open(f"{source}/debian/copyright", encoding="utf-8") as f:
        stanzas = files_stanzas(f.read())
    files = subprocess.run(["git", "-C", source, "ls-files"], check=True, capture_output=True,
                           text=True).stdout.split()
    problems = [f"debian/copyright: Files pattern {pattern} matches no file" for patterns, _ in stanzas
                for pattern in patterns if not any(fnmatch.fnmatchcase(path, pattern) for path in files)]
    report = subprocess.run(["licensecheck", "--machine", "--check=.*", "--shortname-scheme=debian,spdx", "--",
                             *files], cwd=source, check=True, capture_output=True, text=True).stdout
    notices = 0
    for line in report.splitlines():
        path, found = line.split("\t")[:2]
        if found == "UNKNOWN" or path in LICENCE_TEXTS | NAMES_OTHER_LICENCES:
            continue
        notices += 1
        expected = licence_of(path, stanzas)
        if found.replace(" and/or ", " or ").split(" or ") != [expected]:
            problems.append(f"{path}: licensecheck finds {found}, debian/copyright says {expected}")
    if problems:
        sys.exit("FAIL: " + "\n".join(problems))
    print(f"debian/copyright covers {len(files)} files in {len(stanzas)} stanzas; "
          f"the {notices} licence notices licensecheck finds agree with it")


if __name__ == "__main__":
    main()
