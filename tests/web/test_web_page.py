"""The web site in Chromium, WebKitGTK and Firefox: the page draws the window as the Linux program does, clicks
and the Tab key work in it, it opens again offline after one visit, and the exit button leaves the page that
says so. A site that fails to load is told of in Chromium."""

import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from browser import ChromiumPage, PageTest, Site  # noqa: E402
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


if __name__ == "__main__":
    unittest.main(verbosity=2)
