"""The publisher's name and address, from resources/publisher.conf: the one place that says who Vostrel's
packages and bills of materials name. Read by scripts/release/sbom.py and tests/packaging/check_publisher.py."""

from pathlib import Path

CONF = Path(__file__).resolve().parents[2] / "resources" / "publisher.conf"
FIELDS = ("name", "email")


def read(path=CONF):
    """{"name": ..., "email": ...}; a missing, repeated or unknown field is an error naming the line."""
    found = {}
    for number, line in enumerate(Path(path).read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.lstrip().startswith("#"):
            continue
        key, equals, value = (part.strip() for part in line.partition("="))
        if not equals or key not in FIELDS or key in found or not value:
            raise SystemExit(f"{path}:{number}: expected one of {', '.join(FIELDS)} = value once each: {line!r}")
        found[key] = value
    missing = [f for f in FIELDS if f not in found]
    if missing:
        raise SystemExit(f"{path}: no {', '.join(missing)}")
    return found


def contact(publisher):
    """The publisher as Debian's fields write a person: Name <address>."""
    return f"{publisher['name']} <{publisher['email']}>"
