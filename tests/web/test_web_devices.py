"""The web site on the phones, tablets, Chromebooks and projectors of a school, in headless Chromium emulating
each: the whole window shows, as large as the screen allows, taps and clicks select exactly the element under
them at every scale, the page never scrolls or zooms, a turn of the device refits the window, a long press
shows an element's state and a tap on a box lets the student type. Bad input leaves a working page."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from browser import PageTest  # noqa: E402
from desktop import Image  # noqa: E402
from window_looks import CLIENT_SIZE, EXIT_BUTTON, SAMPLES, centre_of, differences_beside_text, px  # noqa: E402

ARTIFACTS = os.environ["VOSTREL_ARTIFACTS"]
# The Linux program's offscreen picture at 300 % (tests/highdpi's test_scaled_window with QT_SCALE_FACTOR=3).
REFERENCE_300 = os.path.join(os.path.dirname(__file__), "..", "highdpi", "reference", "window-300.png")

# name, CSS pixels across and down, device pixels per CSS pixel, a touch screen
DEVICES = [
    ("phone-landscape", 844, 390, 3, True),
    ("phone-portrait", 390, 844, 3, True),
    ("small-phone", 640, 360, 2, True),
    ("tablet-portrait", 768, 1024, 2, True),
    ("tablet-landscape", 1024, 768, 2, True),
    ("chromebook", 1366, 768, 1, False),
    ("projector", 1920, 1080, 1, False),
]
# The grid's corners and middle, each with what its selection shows in the name box.
ELEMENTS = {
    "H": (centre_of(120, 240), "Hydrogen"), "He": (centre_of(8280, 360), "Helium"),
    "Na": (centre_of(120, 1320), "Sodium"), "Fr": (centre_of(120, 3240), "Francium"),
    "Uub": (centre_of(5400, 3240), "Ununbium"), "Lw": (centre_of(8280, 4560), "Lawrencium"),
    "**Th": (centre_of(2040, 4560), "Thorium"),
}
NA, LI = ELEMENTS["Na"][0], centre_of(120, 840)
NAME_BOX = (px(10560 + 600), px(1680 + 247))
TOOLTIP = (255, 255, 220)  # Qt's tooltip ground


class DevicesTest(PageTest):
    def fitted(self, width, height, ratio):
        """The window once page and Qt have fitted it to a viewport; checks that it shows whole, as large as
        it fits, and returns its scale."""
        driver, deadline = self.page.driver, time.monotonic() + 10
        while True:
            left, top, w, h = self.page.window_rect()
            # The page has fitted the window to the viewport, and Qt has taken the new size when it has given
            # its canvas that many device pixels.
            fitted = driver.execute_script("return document.getElementById('screen').dataset.fitted")
            drawn = driver.execute_script("return arguments[0].width", self.page.canvas())
            if (fitted == f"{width}x{height}" and drawn == int(w * ratio)) or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        time.sleep(0.3)
        self.assertEqual(driver.execute_script("return [innerWidth, innerHeight]"), [width, height])
        self.assertTrue(0 <= left and left + w <= width and 0 <= top and top + h <= height, (left, top, w, h))
        scale, largest = w / CLIENT_SIZE[0], min(width / CLIENT_SIZE[0], height / CLIENT_SIZE[1])
        self.assertAlmostEqual(h / CLIENT_SIZE[1], scale, delta=2 / CLIENT_SIZE[1] + 0.001)
        self.assertGreaterEqual(scale, 0.9 * largest)  # the licences' line below takes a little
        return scale

    def selects(self, name, action):
        """Taps or clicks an element's button; the name box then holds exactly that element's name."""
        (x, y), expected = ELEMENTS[name]
        action(x, y)
        deadline = time.monotonic() + 3
        while self.page.mirrored_text("Text3") != expected and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertEqual(self.page.mirrored_text("Text3"), expected, name)

    def assert_still(self):
        """The page neither scrolled nor zoomed."""
        self.assertEqual(self.page.driver.execute_script(
            "return [scrollX, scrollY, document.querySelector('main').scrollTop, visualViewport.scale]"), [0, 0, 0, 1])

    def test_every_device_shows_the_whole_window_and_answers_it(self):
        self.page.open()
        self.page.wait_for_state("running")
        driver = self.page.driver
        for name, width, height, ratio, touch in DEVICES:
            with self.subTest(name):
                self.page.emulate(width, height, ratio, touch)
                scale = self.fitted(width, height, ratio)
                # A screen reader's outline of Na lies on the button as drawn.
                outline = driver.execute_script(
                    "const r = document.getElementById('vostrel-Command11').getBoundingClientRect();"
                    "return [r.left, r.top, r.width, r.height]")
                drawn = [*self.page.on_page(px(120), px(1320)), px(495) * scale, px(495) * scale]
                for got, want in zip(outline, drawn):
                    self.assertAlmostEqual(got, want, delta=1)
                upright_and_small = height > width and scale * px(495) < 24
                self.assertEqual(driver.find_element("id", "turn").is_displayed(), upright_and_small)
                if name in ("phone-landscape", "phone-portrait", "projector"):
                    # Qt drew the window at the scale it is shown: the legend where it belongs.
                    picture = self.page.screenshot(os.path.join(ARTIFACTS, f"web-{name}.png"), whole_page=True)
                    (x, y), colour = SAMPLES["metal swatch"]
                    self.assertEqual(picture.pixel(*(int(c * ratio) for c in self.page.on_page(x, y))), colour)
                act = self.page.tap if touch else self.page.click
                for element in ELEMENTS:
                    self.selects(element, act)
                self.assert_still()
                self.page.emulate(height, width, ratio, touch)  # turned
                self.fitted(height, width, ratio)
                self.selects("Na", act)
                self.assert_still()

    def test_bad_input_leaves_a_working_page(self):
        self.page.emulate(390, 844, 3, True)
        self.page.open()
        self.page.touch("touchStart", (195, 400))  # a tap while the program loads
        self.page.touch("touchEnd")
        self.page.emulate(844, 390, 3, True)  # turned while it loads
        self.page.wait_for_state("running")
        self.fitted(844, 390, 3)
        na = self.page.on_page(*NA)
        for _ in range(2):  # a double tap: no zoom, and Sodium
            self.page.touch("touchStart", na)
            self.page.touch("touchEnd")
        self.page.touch("touchStart", self.page.on_page(*ELEMENTS["H"][0]), self.page.on_page(*ELEMENTS["He"][0]))
        self.page.touch("touchEnd")  # two fingers at once
        middle = self.page.on_page(396, 200)
        self.page.touch("touchStart", (middle[0] - 20, middle[1]), (middle[0] + 20, middle[1]))
        self.page.touch("touchMove", (middle[0] - 150, middle[1]), (middle[0] + 150, middle[1]))
        self.page.touch("touchEnd")  # a pinch on the window
        shown = self.page.mirrored_text("Text3")
        self.page.touch("touchStart", self.page.on_page(*LI))
        self.page.touch("touchCancel")  # the system took the touch over: no click
        time.sleep(0.3)
        self.assertEqual(self.page.mirrored_text("Text3"), shown)
        self.selects("Na", self.page.tap)  # nothing stuck
        self.assert_still()
        self.page.emulate(320, 240, 2, True)  # the smallest screen
        self.fitted(320, 240, 2)
        self.selects("Fr", self.page.tap)
        self.assertEqual(self.page.state(), "running")

    def test_long_press_shows_the_state_a_box_takes_typing_and_exit_ends(self):
        self.page.emulate(844, 390, 3, True)
        self.page.open()
        self.page.wait_for_state("running")
        self.fitted(844, 390, 3)

        def tooltip_shown(path):
            picture = self.page.screenshot(os.path.join(ARTIFACTS, path))
            return any(picture.data[i:i + 3] == bytes(TOOLTIP) for i in range(0, len(picture.data), 3))
        self.page.touch("touchStart", self.page.on_page(*NA))
        time.sleep(1.5)
        self.assertTrue(tooltip_shown("web-long-press.png"))
        self.page.touch("touchEnd")
        time.sleep(0.3)
        self.assertFalse(tooltip_shown("web-long-press-lifted.png"))

        self.page.tap(*NAME_BOX)
        self.page.key("Z")
        deadline = time.monotonic() + 3
        while "Z" not in (self.page.mirrored_text("Text3") or "") and time.monotonic() < deadline:
            time.sleep(0.05)
        self.assertIn("Z", self.page.mirrored_text("Text3"))

        self.page.tap(*EXIT_BUTTON)  # ends the program as a click does
        self.page.wait_for_state("ended", timeout=10)

    def test_text_at_3x_is_as_sharp_as_on_linux_at_300_percent(self):
        self.page.emulate(792, 500, 3, True)  # a window at 100 % on a phone's three device pixels
        self.page.open()
        self.page.wait_for_state("running")
        self.assertEqual(self.fitted(792, 500, 3), 1)
        reference = Image(REFERENCE_300)
        image = self.page.wait_for_picture(os.path.join(ARTIFACTS, "web-window-300.png"), reference)
        self.assertEqual((image.width, image.height), (reference.width, reference.height))
        # The detail panel's Thai field labels, where most of the window's text is.
        found = differences_beside_text(crop(image, 1680, 0, 696, 600), crop(reference, 1680, 0, 696, 600))
        self.assertEqual(found["away"], 0, "pixels differ away from text; see web-window-300.png")
        self.assertLessEqual(found["mean"], 40, "text differs more than hinting would explain")
        self.assertLessEqual(found["far"], found["text"] * 3 // 100, "text differs more than hinting would explain")


def crop(image, left, top, width, height):
    part = Image.__new__(Image)
    part.width, part.height = width, height
    part.data = b"".join(image.data[3 * (y * image.width + left):3 * (y * image.width + left + width)]
                         for y in range(top, top + height))
    return part


if __name__ == "__main__":
    unittest.main(verbosity=2)
