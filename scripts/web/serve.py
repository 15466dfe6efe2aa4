#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 for trying the web site by hand and for its tests, with the types browsers
want: application/wasm, so that the program compiles while it downloads, and the manifest's own type.

Called by web.sh --serve and by the web tests (tests/web/browser.py).

Usage: serve.py SITE [PORT]   (PORT 0 picks a free port; the address is printed on the first line)
"""

import functools
import http.server
import sys

TYPES = {
    ".wasm": "application/wasm",
    ".js": "text/javascript",
    ".webmanifest": "application/manifest+json",
    ".html": "text/html; charset=utf-8",
    ".txt": "text/plain; charset=utf-8",
    ".ico": "image/vnd.microsoft.icon",
}


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}

    def log_message(self, format, *args):  # noqa: A002 (the base class's name)
        pass


def main(site, port):
    handler = functools.partial(SiteHandler, directory=site)
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"http://127.0.0.1:{server.server_address[1]}/", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    if not 2 <= len(sys.argv) <= 3:
        raise SystemExit(__doc__)
    main(sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 8000)
