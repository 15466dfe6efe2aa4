"""The built program on a 192-dpi X screen announcing Xft.dpi 192, as a desktop at 200 % does: Qt scales
the window by two, and everything stands, looks and answers clicks as at 96 dpi, twice the size."""

import os
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from desktop import Program, run  # noqa: E402

BINARY = os.environ["VOSTREL_BINARY"]
ARTIFACTS = os.environ["VOSTREL_ARTIFACTS"]
REFERENCES = os.path.join(os.path.dirname(__file__), "reference")  # the offscreen window at 200 %
SCREEN_W, SCREEN_H = 2560, 2048
SCALE = 2

NAVY, YELLOW, WHITE, RED = (0, 0, 128), (255, 255, 0), (255, 255, 255), (255, 0, 0)
METAL, METALLOID, INERT_GAS = (255, 192, 128), (0, 128, 0), (255, 128, 255)


def device(x, y):
    """The screen pixel, relative to the client area, under a point given in window pixels at 96 dpi."""
    return int(x * SCALE), int(y * SCALE)


class DpiScreenTest(unittest.TestCase):
    def start(self):
        program = Program(BINARY)
        self.addCleanup(program.stop)
        return program

    def test_window_is_twice_the_size_and_drawn_alike(self):
        program = self.start()
        x, y, width, height = program.geometry()
        self.assertEqual((width, height), (792 * SCALE, 416 * SCALE))
        self.assertLessEqual(abs(x + width / 2 - SCREEN_W / 2), 20)
        self.assertLessEqual(abs(y + height / 2 - SCREEN_H / 2), 40)

        image = program.screenshot(os.path.join(ARTIFACTS, "window-192dpi.png"))
        samples = {
            "background above He": (device(560, 8), NAVY),
            "metal swatch": (device(28.5, 364.5), METAL),
            "metalloid swatch": (device(164.5, 364.5), METALLOID),
            "non-metal swatch": (device(316.5, 364.5), YELLOW),
            "inert gas swatch": (device(468.5, 364.5), INERT_GAS),
            "swatch outline, three pixels of 96 dpi": (device(28.5, 346.5), RED),
            "Text7": (device(710, 358), WHITE),
            "metal button face (Li)": (device(13, 61), METAL),
            "metalloid button face (B)": (device(397, 61), METALLOID),
            "inert gas button face (Ne)": (device(557, 61), INERT_GAS),
            # The transition bar, one pixel at 96 dpi, is two solid rows here with background around.
            "above the transition bar": ((264, 207), NAVY),
            "transition bar, first row": ((264, 208), YELLOW),
            "transition bar, second row": ((264, 209), YELLOW),
            "below the transition bar": ((264, 210), NAVY),
        }
        for what, ((sx, sy), colour) in samples.items():
            with self.subTest(what):
                self.assertEqual(image.pixel(sx, sy), colour)

    def test_every_pixel_is_as_in_the_reference(self):
        run("xdotool", "mousemove", "0", "0")  # no pointer over the window, so no tooltip shows
        program = self.start()
        program.activate()  # the focus frame on H shows only in the active window
        differing = program.differs_from_reference(os.path.join(REFERENCES, "window-200.png"),
                                                   os.path.join(ARTIFACTS, "window-192dpi.png"))
        self.assertEqual(differing, 0, f"pixels differ; the window as drawn is {ARTIFACTS}/window-192dpi.png")

    def test_clicks_land_on_the_same_buttons(self):
        program = self.start()
        program.activate()
        text1 = device(744, 32)
        text3 = device(744, 128)
        clicks = {
            "Na": (device(24, 104), "11", "Sodium"),
            "**Th": (device(152, 320), "90", "Thorium"),
            "Li, just left of the strip shared with Be": (device(39, 65), "3", "Lithium"),
            "Be, just right of that strip": (device(41, 65), "4", "Beryllium"),
        }
        for what, ((cx, cy), number, name) in clicks.items():
            with self.subTest(what):
                program.click(cx, cy)
                self.assertEqual(program.box_text(*text1), number)
                self.assertEqual(program.box_text(*text3), name)


if __name__ == "__main__":
    unittest.main(verbosity=2)
