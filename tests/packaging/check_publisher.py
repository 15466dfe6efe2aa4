"""The publisher as the Debian files spell it out, against resources/publisher.conf, the one place that says
who Vostrel's packages name; and no address of a domain the project does not hold anywhere in the source.

    check_publisher.py SOURCE_DIR
"""

import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "release"))
import publisher  # noqa: E402

# Fields that name the publisher, by file: a line starting with the field's name holds the whole contact.
CONTACT_FIELDS = {
    "debian/control": "Maintainer:",
    "debian/copyright": "Upstream-Contact:",
    "debian/upstream/metadata": "Contact:",
    "debian/changelog": " -- ",
    "resources/doc/changelog": " -- ",
}
# A mail address or web address in a vostrel domain; only the publisher's own (and .invalid ones) may stand.
VOSTREL_ADDRESS = re.compile(r"[\w.+-]+@vostrel\.[\w.-]*\w|https?://(?:[\w-]+\.)*vostrel\.[\w.-]*\w", re.IGNORECASE)
SKIPPED_FOLDERS = {".git", "dist", "__pycache__", "node_modules"}


def source_files(source):
    for folder, folders, files in os.walk(source):
        folders[:] = [f for f in folders if f not in SKIPPED_FOLDERS and not f.startswith(("build", "obj-"))]
        for name in files:
            yield os.path.join(folder, name)


def main():
    source = sys.argv[1]
    who = publisher.read(os.path.join(source, "resources", "publisher.conf"))
    contact = publisher.contact(who)
    problems = []
    for path, field in CONTACT_FIELDS.items():
        with open(os.path.join(source, path), encoding="utf-8") as f:
            lines = [line for line in f.read().splitlines() if line.startswith(field)]
        if not lines:
            problems.append(f"{path}: no {field.strip()} line")
        for line in lines:
            named = line[len(field):].strip()
            if field == " -- ":
                named = named.split(">")[0] + ">"  # the trailer's date follows the contact
            if named != contact:
                problems.append(f"{path}: {field.strip()} names {named!r}, not {contact!r}")
    for path in source_files(source):
        try:
            with open(path, encoding="utf-8") as f:
                text = f.read()
        except (UnicodeDecodeError, OSError):
            continue
        for address in VOSTREL_ADDRESS.findall(text):
            if address != who["email"] and not address.lower().endswith(".invalid"):
                problems.append(f"{os.path.relpath(path, source)}: {address} is in a domain the project does not hold")
    if problems:
        print("\n".join(problems))
        return 1
    print(f"Every Debian file names {contact}, and no other address of the project stands in the source")
    return 0


if __name__ == "__main__":
    sys.exit(main())
