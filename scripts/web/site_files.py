#!/usr/bin/env python3
"""Writes the two files of the web site that list the others: the licence index and the service worker.

Called by scripts/web/dist.sh.

Usage: site_files.py SITE SERVICE_WORKER_TEMPLATE

licences/index.html links every licence text under licences/. sw.js is the template with the files that a
visit needs (all but the licence texts, which are read on the network when asked for) and a hash of the
whole site filled in, so that the service worker caches exactly this release's files and a browser that
has an older release cached takes the new one. The brotli and gzip copies that dist.sh writes beside some
files are no files of their own to a browser, which asks for the original and is sent a copy as the
original's encoding: they are neither listed nor hashed (they follow from the originals).
"""

import hashlib
import html
import json
import sys
from pathlib import Path

COMPRESSED_COPIES = (".br", ".gz")


def licence_index(licences):
    texts = sorted(str(p.relative_to(licences)) for p in licences.rglob("*") if p.is_file() and p.name != "index.html")
    items = "\n".join(f'<li><a href="{html.escape(t)}">{html.escape(t)}</a></li>' for t in texts)
    return f"""<!doctype html>
<html lang="th">
<head><meta charset="utf-8"><title>Vostrel: สัญญาอนุญาต (Licences)</title></head>
<body>
<h1>สัญญาอนุญาต (Licences)</h1>
<p lang="en">Vostrel is free software under the GNU General Public License, version 2 or any later version
(<a href="Vostrel-LICENSE.txt">Vostrel-LICENSE.txt</a>). The program on this site also holds the window
font's substitute Norasi UPC, Qt and the code Qt bundles, and Emscripten's runtime libraries, under the
licences below.</p>
<ul>
{items}
</ul>
<p><a href="../index.html">Vostrel</a></p>
</body>
</html>
"""


def main(site, template):
    (site / "licences" / "index.html").write_text(licence_index(site / "licences"), encoding="utf-8")
    files = sorted(str(p.relative_to(site)) for p in site.rglob("*")
                   if p.is_file() and p.name != "sw.js" and p.suffix not in COMPRESSED_COPIES)
    digest = hashlib.sha256()
    for name in files:
        digest.update(name.encode() + b"\0" + (site / name).read_bytes())
    worker = template.read_text(encoding="utf-8")
    visit = [name for name in files if not name.startswith("licences/")]
    for placeholder, value in (("[/* site files */]", json.dumps(["./", *visit])),
                               ('"/* site hash */"', json.dumps(digest.hexdigest()[:16]))):
        if placeholder not in worker:
            raise SystemExit(f"{template}: no {placeholder} to fill in")
        worker = worker.replace(placeholder, value)
    (site / "sw.js").write_text(worker, encoding="utf-8")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    main(Path(sys.argv[1]), Path(sys.argv[2]))
