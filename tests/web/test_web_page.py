"""The web site in headless Chromium: the page draws the window as the Linux program does, with WebGL or
without, clicks and the Tab key work in it, it opens again offline after one visit, and the exit button
leaves the page that says so."""

import os
import shutil
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from browser import Page, PageTest, Site  # noqa: E402
from desktop import Image  # noqa: E402
from window_looks import CLIENT_SIZE, EXIT_BUTTON, SAMPLES, TEXT1, TEXT3, H, differences_beside_text, px  # noqa: E402

SITE = os.environ["VOSTREL_SITE"]
ARTIFACTS = os.environ["VOSTREL_ARTIFACTS"]
# The Linux program's offscreen picture at 100 %, which the real window on Linux matches pixel for pixel.
REFERENCE = os.path.join(os.path.dirname(__file__), "..", "highdpi", "reference", "window-100.png")
NA = (px(120) + 10, px(1320) + 1)  # just below the strip that Na shares with Li


class WebPageTest(PageTest):
    def start(self):
        self.page.open()
        self.page.wait_for_state("running")

    def test_window_looks_as_on_linux(self):
        self.start()
        reference = Image(REFERENCE)
        image = self.page.wait_for_picture(os.path.join(ARTIFACTS, "web-window-100.png"), reference)
        self.assertEqual((image.width, image.height), CLIENT_SIZE)
        for what, ((x, y), colour) in SAMPLES.items():
            with self.subTest(what):
                self.assertEqual(image.pixel(x, y), colour)
        # Text is drawn by FreeType on both, but hinted and blended otherwise without fontconfig: its edges
        # differ by a few shades, and a stroke here and there by a pixel.
        found = differences_beside_text(image, reference)
        self.assertEqual(found["away"], 0, "pixels differ away from text; see web-window-100.png")
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
        self.page.driver.execute_async_script(
            "navigator.serviceWorker.ready.then(() => arguments[0]())")  # the site is in the cache
        self.site.stop()
        self.page.driver.refresh()
        self.page.wait_for_state("running")
        image = self.page.wait_for_picture(os.path.join(ARTIFACTS, "web-offline.png"), Image(REFERENCE))
        self.assertEqual(image.pixel(*SAMPLES["metal swatch"][0]), SAMPLES["metal swatch"][1])

    def test_exit_button_leaves_the_ended_page(self):
        self.start()
        self.page.click(*EXIT_BUTTON)
        self.page.wait_for_state("ended", timeout=10)
        driver = self.page.driver
        self.assertEqual(driver.find_element("id", "message").text, "Vostrel จบการทำงานแล้ว")
        self.assertFalse(driver.find_element("id", "screen").is_displayed())
        self.assertEqual(driver.find_elements("id", "vostrel-mirror"), [])  # nothing left for a screen reader
        again = driver.find_element("id", "again")
        self.assertTrue(again.is_displayed())
        again.click()  # starts the program again
        self.page.wait_for_state("running")


class WithoutWebGLTest(unittest.TestCase):
    def test_window_is_drawn_where_the_browser_has_no_webgl(self):
        """Old lab computers, virtual desktops and browsers that distrust the graphics driver have no WebGL."""
        server = Site(SITE)
        self.addCleanup(server.stop)
        page = Page(server.url, webgl=False)
        self.addCleanup(page.close)
        page.open()
        page.wait_for_state("running")
        self.assertFalse(page.driver.execute_script("return !!document.createElement('canvas').getContext('webgl')"))
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
            page = Page(server.url)
            self.addCleanup(page.close)
            page.open()
            page.wait_for_state("error", timeout=20)
            driver = page.driver
            self.assertIn("โหลด Vostrel ไม่สำเร็จ", driver.find_element("id", "message").text)
            self.assertIn("vostrel.wasm", driver.find_element("id", "english").text)
            self.assertTrue(driver.find_element("id", "again").is_displayed())


if __name__ == "__main__":
    unittest.main(verbosity=2)
