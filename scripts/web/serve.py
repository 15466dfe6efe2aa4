#!/usr/bin/env python3
"""Serves a folder on 127.0.0.1 for trying the web site by hand and for its tests, as a real server set up
by resources/web/ serves it: with the types browsers want (application/wasm, so that the program compiles
while it downloads, and the manifest's own type), and the brotli or gzip copy that dist.sh wrote beside a
file (FILE.br, FILE.gz) to a browser that takes that encoding, as the original's own type and with
"Vary: Accept-Encoding"; the original to one that takes neither.

Called by web.sh --serve, by the web tests (tests/web/browser.py) and by ./bench.sh.

Usage: serve.py SITE [PORT]   (PORT 0 picks a free port; the address is printed on the first line)
"""

import email.utils
import functools
import http
import http.server
import os
import sys
import urllib.parse

TYPES = {
    ".wasm": "application/wasm",
    ".js": "text/javascript",
    ".webmanifest": "application/manifest+json",
    ".html": "text/html; charset=utf-8",
    ".txt": "text/plain; charset=utf-8",
    ".ico": "image/vnd.microsoft.icon",
}
# The copies a file may have, by encoding, best first where a browser takes both alike.
ENCODINGS = (("br", ".br"), ("gzip", ".gz"))


class BadHeader(ValueError):
    pass


def accepted(header):
    """The encodings an Accept-Encoding header takes, with their weights (0 for "not this one"): a dict that
    may hold "*" (any other) and "identity". None for no header at all, which takes any encoding."""
    if header is None:
        return None
    weights = {}
    for item in header.split(","):
        coding, *parameters = (part.strip() for part in item.split(";"))
        if not coding:
            if parameters:
                raise BadHeader(f"an encoding without a name: {item.strip()!r}")
            continue  # "gzip, , br" is allowed
        weight = 1.0
        for parameter in parameters:
            name, _, value = parameter.partition("=")
            if name.strip().lower() != "q":
                continue
            try:
                weight = float(value.strip())
            except ValueError:
                raise BadHeader(f"not a weight: {parameter!r}") from None
            if not 0 <= weight <= 1:
                raise BadHeader(f"a weight outside 0 to 1: {parameter!r}")
        weights[coding.lower()] = weight
    return weights


def choose(weights, available):
    """The encoding to send, of `available` (encodings whose copies exist) and "identity" (the original),
    or None when the header refuses all of them. The highest weight wins; brotli before gzip before the
    original where weights are equal."""
    if weights is None:
        return "identity"
    default = weights.get("*")
    candidates = []
    for rank, coding in enumerate([*available, "identity"]):
        weight = weights.get(coding, default)
        if weight is None:
            # Not named and no "*": an encoding is not taken, the original is (at the lowest weight).
            weight = 0.001 if coding == "identity" else 0
        if weight > 0:
            candidates.append((-weight, rank, coding))
    return min(candidates)[2] if candidates else None


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map, **TYPES}

    def send_head(self):
        path = self.translate_path(self.path)
        if os.path.isdir(path):
            if not urllib.parse.urlsplit(self.path).path.endswith("/"):
                return super().send_head()  # the redirect to the folder's address
            path = os.path.join(path, "index.html")
        copies = [(coding, path + suffix) for coding, suffix in ENCODINGS if os.path.isfile(path + suffix)]
        if not os.path.isfile(path) or not copies:
            return super().send_head()
        try:
            coding = choose(accepted(self.headers.get("Accept-Encoding")), [coding for coding, _ in copies])
        except BadHeader as error:
            self.send_error(http.HTTPStatus.BAD_REQUEST, f"Accept-Encoding: {error}")
            return None
        if coding is None:
            self.send_error(http.HTTPStatus.NOT_ACCEPTABLE, "none of br, gzip and identity is accepted")
            return None
        sent = dict(copies).get(coding, path)
        file = open(sent, "rb")
        try:
            status = os.fstat(file.fileno())
            self.send_response(http.HTTPStatus.OK)
            self.send_header("Content-Type", self.guess_type(path))
            if coding != "identity":
                self.send_header("Content-Encoding", coding)
            self.send_header("Vary", "Accept-Encoding")
            self.send_header("Content-Length", str(status.st_size))
            self.send_header("Last-Modified", email.utils.formatdate(status.st_mtime, usegmt=True))
            self.end_headers()
            return file
        except BaseException:
            file.close()
            raise

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
