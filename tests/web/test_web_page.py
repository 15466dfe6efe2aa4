"""The web site in Chromium, WebKitGTK and Firefox: the page draws the window as the Linux program does, with
WebGL or without, clicks and the Tab key work in it, it opens again offline after one visit, and the exit
button leaves the page that says so. A site that fails to load is told of in Chromium. The site's brotli and
gzip copies, sent by serve.py and by nginx set up as resources/web/servers/ says, to each browser that takes
them."""

import gzip
import http.client
import json
import os
import re
import shutil
import sys
import tempfile
import unittest
import urllib.parse

import brotli

sys.path.insert(0, os.path.dirname(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from browser import ChromiumPage, ChromiumWithoutWebGLPage, Nginx, PageTest, Site  # noqa: E402
from desktop import Image  # noqa: E402
from window_looks import CLIENT_SIZE, EXIT_BUTTON, SAMPLES, TEXT1, TEXT3, H, differences_beside_text, px  # noqa: E402

SITE = os.environ["VOSTREL_SITE"]
ARTIFACTS = os.environ["VOSTREL_ARTIFACTS"]
# The Linux program's offscreen picture at 100 %, which the real window on Linux matches pixel for pixel.
REFERENCE = os.path.join(os.path.dirname(__file__), "..", "highdpi", "reference", "window-100.png")
NA = (px(120) + 10, px(1320) + 1)  # just below the strip that Na shares with Li


class WebPage:
    """The page's tests, run in each engine by the classes below, each in one browser."""

    one_browser = True

    def start(self):
        self.page.open()
        self.page.wait_for_state("running")

    def test_scripts_bring_back_the_page_values_and_its_errors(self):
        # All that the tests read of the page comes through these, in every engine alike.
        values = self.page.script("return [arguments[0], arguments[1], {n: 1.5, none: null}, 0.1 + 0.2 > 0.3]",
                                  "ธาตุ", [1, 2])
        self.assertEqual(values, ["ธาตุ", [1, 2], {"n": 1.5, "none": None}, True])
        self.assertEqual(self.page.script("return new Promise(done => setTimeout(() => done('later'), 50))"), "later")
        with self.assertRaisesRegex(Exception, "no such box"):
            self.page.script("throw new Error('no such box')")

    def test_window_looks_as_on_linux(self):
        self.start()
        reference = Image(REFERENCE)
        image = self.page.wait_for_picture(os.path.join(ARTIFACTS, f"web-window-100-{self.engine}.png"), reference)
        self.assertEqual((image.width, image.height), CLIENT_SIZE)
        for what, ((x, y), colour) in SAMPLES.items():
            with self.subTest(what):
                self.assertEqual(image.pixel(x, y), colour)
        # Text is drawn by FreeType on both, but hinted and blended otherwise without fontconfig: its edges
        # differ by a few shades, and a stroke here and there by a pixel.
        found = differences_beside_text(image, reference)
        self.assertEqual(found["away"], 0, f"pixels differ away from text; see web-window-100-{self.engine}.png")
        self.assertLessEqual(found["mean"], 40, "text differs more than hinting would explain")
        self.assertLessEqual(found["far"], found["text"] * 3 // 100, "text differs more than hinting would explain")

    def test_click_and_tab_fill_the_boxes(self):
        self.start()
        self.page.click(*NA)
        self.assertEqual((self.page.box_text(*TEXT1), self.page.box_text(*TEXT3)), ("11", "Sodium"))

        self.page.click(*H)
        self.page.key("\ue004", " ")  # Tab, then Space: from H the tab order goes to He
        self.assertEqual((self.page.box_text(*TEXT1), self.page.box_text(*TEXT3)), ("2", "Helium"))

    def test_page_opens_offline_after_one_visit(self):
        self.start()
        self.page.script("return navigator.serviceWorker.ready.then(() => true)")  # the site is in the cache
        self.site.stop()
        self.page.reload()
        self.page.wait_for_state("running")
        image = self.page.wait_for_picture(os.path.join(ARTIFACTS, f"web-offline-{self.engine}.png"),
                                           Image(REFERENCE))
        self.assertEqual(image.pixel(*SAMPLES["metal swatch"][0]), SAMPLES["metal swatch"][1])

    def test_exit_button_leaves_the_ended_page(self):
        # In a tab that came to the page from another: a tab whose only page is this one is the page's to
        # close, and Firefox's first tab under its remote agent is such a tab.
        self.page.open("licences/index.html")
        self.start()
        self.page.click(*EXIT_BUTTON)
        self.page.wait_for_state("ended", timeout=10)
        self.assertEqual(self.page.text("message"), "Vostrel จบการทำงานแล้ว")
        self.assertFalse(self.page.window_shown())
        self.assertIsNone(self.page.text("vostrel-mirror"))  # nothing left for a screen reader
        self.assertTrue(self.page.shown("again"))
        self.page.press("again")  # starts the program again
        self.page.wait_for_state("running")
        self.assertTrue(self.page.window_shown())


class ChromiumTest(WebPage, PageTest):
    engine = "chromium"


class WebKitGTKTest(WebPage, PageTest):
    engine = "webkitgtk"


class FirefoxTest(WebPage, PageTest):
    engine = "firefox"


class WithoutWebGLTest(unittest.TestCase):
    def test_window_is_drawn_where_the_browser_has_no_webgl(self):
        """Old lab computers, virtual desktops and browsers that distrust the graphics driver have no WebGL."""
        server = Site(SITE)
        self.addCleanup(server.stop)
        page = ChromiumWithoutWebGLPage(server.url)
        self.addCleanup(page.close)
        page.open()
        page.wait_for_state("running")
        self.assertFalse(page.script("return !!document.createElement('canvas').getContext('webgl')"))
        reference = Image(REFERENCE)
        image = page.wait_for_picture(os.path.join(ARTIFACTS, "web-window-without-webgl.png"), reference)
        self.assertEqual((image.width, image.height), CLIENT_SIZE)
        for what, ((x, y), colour) in SAMPLES.items():
            with self.subTest(what):
                self.assertEqual(image.pixel(x, y), colour)
        page.click(*NA)
        self.assertEqual(page.mirrored_text("Text3"), "Sodium")


class BrokenSiteTest(unittest.TestCase):
    def test_a_file_that_fails_to_load_is_told_in_thai_and_english(self):
        with tempfile.TemporaryDirectory() as folder:
            site = os.path.join(folder, "site")
            shutil.copytree(SITE, site)
            os.remove(os.path.join(site, "vostrel.wasm"))
            server = Site(site)
            self.addCleanup(server.stop)
            page = ChromiumPage(server.url)
            self.addCleanup(page.close)
            page.open()
            page.wait_for_state("error", timeout=20)
            self.assertIn("โหลด Vostrel ไม่สำเร็จ", page.text("message"))
            self.assertIn("vostrel.wasm", page.text("english"))
            self.assertTrue(page.shown("again"))


# The files that dist.sh compresses: those of a visit that are not compressed already.
COMPRESSED = {"index.html", "page.js", "qtloader.js", "vostrel.js", "vostrel.wasm", "sw.js", "manifest.webmanifest"}
DECODE = {"br": brotli.decompress, "gzip": gzip.decompress, None: lambda data: data}
# What a browser sends, and what comes back: (Accept-Encoding or None for no header, the encoding sent).
NEGOTIATED = [("gzip, deflate, br", "br"), ("gzip, deflate", "gzip"), ("br;q=0, gzip", "gzip"),
              ("identity", None), (None, None)]
# Only serve.py weighs the encodings against each other, and refuses what no encoding satisfies.
WEIGHED = [("br;q=0.5, gzip;q=0.8", "gzip"), ("gzip;q=0.5, *", "br"), ("*;q=0, identity;q=0.2", None),
           ("gzip, , br", "br"), ("", None), ("identity;q=0", 406), ("br;q=2", 400), ("gzip;q=high", 400)]


def fetch(url, accept):
    parts = urllib.parse.urlsplit(url)
    connection = http.client.HTTPConnection(parts.hostname, parts.port, timeout=30)
    try:
        connection.putrequest("GET", parts.path or "/", skip_accept_encoding=True)
        if accept is not None:
            connection.putheader("Accept-Encoding", accept)
        connection.endheaders()
        response = connection.getresponse()
        return response.status, response.headers, response.read()
    finally:
        connection.close()


class DeliveryTest(unittest.TestCase):
    def test_copies_are_their_files_compressed_and_stand_for_them(self):
        copies = {}
        for folder, _, names in os.walk(SITE):
            for name in names:
                stem, suffix = os.path.splitext(name)
                if suffix in (".br", ".gz"):
                    copies.setdefault(os.path.relpath(os.path.join(folder, stem), SITE), []).append(suffix)
        self.assertEqual({name: sorted(suffixes) for name, suffixes in copies.items()},
                         {name: [".br", ".gz"] for name in COMPRESSED})
        for name in COMPRESSED:
            with self.subTest(name):
                original = read(name)
                packed = read(name + ".gz")
                self.assertEqual(brotli.decompress(read(name + ".br")), original)
                self.assertEqual(gzip.decompress(packed), original)
                # No name and no time in the gzip header: the same files give the same copies.
                self.assertEqual((packed[3] & 0x08, packed[4:8]), (0, bytes(4)))
                self.assertLess(len(read(name + ".br")), len(original))
        # The service worker asks for what the page asks for: originals only, each of them there.
        worker = read("sw.js").decode()
        listed = json.loads(re.search(r"SITE_FILES = (\[.*?\]);", worker).group(1))
        self.assertEqual([name for name in listed if name.endswith((".br", ".gz"))], [])
        self.assertTrue(COMPRESSED - {"sw.js"} <= set(listed), listed)
        self.assertEqual([name for name in listed[1:] if not os.path.isfile(os.path.join(SITE, name))], [])

    def check_negotiated(self, url, cases):
        """Each file with copies requested as each browser would: the copy its header takes, or the original,
        as the original's type and length, with "Vary: Accept-Encoding"; an error where none is taken."""
        for name in sorted(COMPRESSED):
            original = read(name)
            _, plain, _ = fetch(url + name, "identity")
            for accept, expected in cases:
                with self.subTest(name=name, accept=accept):
                    status, headers, body = fetch(url + name, accept)
                    if isinstance(expected, int):
                        self.assertEqual(status, expected)
                        continue
                    self.assertEqual(status, 200)
                    self.assertEqual(headers.get("Content-Encoding"), expected)
                    self.assertEqual(headers.get("Vary"), "Accept-Encoding")
                    self.assertEqual(headers.get("Content-Type"), plain.get("Content-Type"))
                    self.assertEqual(int(headers.get("Content-Length")), len(body))
                    self.assertEqual(DECODE[expected](body), original)
            if name == "vostrel.wasm":
                self.assertEqual(plain.get("Content-Type"), "application/wasm")
        # The folder's address is its index.html, compressed alike.
        status, headers, body = fetch(url, "gzip, br")
        self.assertEqual((status, headers.get("Content-Encoding")), (200, "br"))
        self.assertEqual(brotli.decompress(body), read("index.html"))

    def test_serve_py_sends_the_copy_each_browser_takes(self):
        site = Site(SITE)
        self.addCleanup(site.stop)
        self.check_negotiated(site.url, NEGOTIATED + WEIGHED)
        status, headers, body = fetch(site.url + "trefoil-192.png", "br")
        self.assertEqual((status, headers.get("Content-Encoding"), body), (200, None, read("trefoil-192.png")))

    def test_nginx_sends_the_copies_and_the_page_runs_through_it(self):
        server = Nginx(SITE)
        self.addCleanup(server.stop)
        self.check_negotiated(server.url, NEGOTIATED)
        page = ChromiumPage(server.url)
        self.addCleanup(page.close)
        with open(server.access_log, encoding="utf-8") as log:
            earlier = len(log.readlines())
        page.open()
        page.wait_for_state("running")
        self.assertEqual(page.box_text(*TEXT3), "")
        page.click(*NA)
        self.assertEqual(page.box_text(*TEXT3), "Sodium")
        # What the page downloaded: as the network carried it (headers too), and as the files are.
        entries = page.driver.execute_script(
            "return performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource'))"
            ".map(e => [new URL(e.name).pathname, e.transferSize, e.decodedBodySize])")
        loaded = {path: (sent, size) for path, sent, size in entries}
        sent = sum(sent for sent, _ in loaded.values())
        files = sum(size for _, size in loaded.values())
        self.assertLess(loaded["/vostrel.wasm"][0], len(read("vostrel.wasm.gz")) + 1000, "the wasm not compressed")
        self.assertLess(sent, files / 2)
        with open(server.access_log, encoding="utf-8") as log:
            served = [line.split() for line in log.readlines()[earlier:]]
        wasm = [encoding for path, status, _, encoding in served if path == "/vostrel.wasm" and status == "200"]
        self.assertIn(wasm[0], ('"br"', '"gzip"'))
        print(f"\n  through nginx: {sent} bytes for {files} bytes of {len(loaded)} files, the wasm as {wasm[0]}",
              file=sys.stderr)


def read(name):
    with open(os.path.join(SITE, name), "rb") as file:
        return file.read()


if __name__ == "__main__":
    unittest.main(verbosity=2)
