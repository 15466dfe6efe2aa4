"""The built program in a real window under a window manager: placement, looks, clicks and both ways out."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop import Program, run  # noqa: E402

BINARY = os.environ["VOSTREL_BINARY"]
ARTIFACTS = os.environ["VOSTREL_ARTIFACTS"]
# The offscreen pictures of tests/highdpi: the real window is drawn pixel for pixel like them.
REFERENCES = os.path.join(os.path.dirname(__file__), "..", "highdpi", "reference")
SCREEN_W, SCREEN_H = 1280, 1024

NAVY, YELLOW, WHITE, RED = (0, 0, 128), (255, 255, 0), (255, 255, 255), (255, 0, 0)
METAL, METALLOID, INERT_GAS = (255, 192, 128), (0, 128, 0), (255, 128, 255)

JUNK_ARGUMENTS = ["--junk", "-reverse", "-style", "fusion", "-qwindowgeometry", "10x10+0+0", "", "ภาษาไทย"]


def px(twips):
    return twips // 15


def centre_of(left, top, size=495):
    return px(left) + px(size) // 2, px(top) + px(size) // 2


class RealWindowTest(unittest.TestCase):
    def start(self, args=(), env=None):
        program = Program(BINARY, args, env)
        self.addCleanup(program.stop)
        return program

    def test_window_is_centred_and_looks_as_drawn(self):
        program = self.start(JUNK_ARGUMENTS)
        x, y, width, height = program.geometry()
        self.assertEqual((width, height), (792, 416))
        self.assertLessEqual(abs(x + width / 2 - SCREEN_W / 2), 20)
        self.assertLessEqual(abs(y + height / 2 - SCREEN_H / 2), 40)  # the title bar takes its share

        image = program.screenshot(os.path.join(ARTIFACTS, "window.png"))
        samples = {
            "background above He": ((560, 8), NAVY),
            "background left of the panel": ((540, 380), NAVY),
            "metal swatch": ((px(120 + 307), px(5160 + 307)), METAL),
            "metalloid swatch": ((px(2160 + 307), px(5160 + 307)), METALLOID),
            "non-metal swatch": ((px(4440 + 307), px(5160 + 307)), YELLOW),
            "inert gas swatch": ((px(6720 + 307), px(5160 + 307)), INERT_GAS),
            "swatch outline": ((px(120 + 307), px(5160) + 1), RED),
            "transition bracket": ((330, px(1560)), YELLOW),
            "transition tick": ((px(1320), px(1620)), YELLOW),
            "inner transition bracket": ((px(7000), px(3960)), YELLOW),
            "Text7": ((px(10560) + 6, px(5280) + 6), WHITE),
            "metal button face (Li)": ((px(120) + 5, px(840) + 5), METAL),
            "metalloid button face (B)": ((px(5880) + 5, px(840) + 5), METALLOID),
            "non-metal button face (C)": ((px(6360) + 5, px(840) + 5), YELLOW),
            "inert gas button face (Ne)": ((px(8280) + 5, px(840) + 5), INERT_GAS),
        }
        for what, ((sx, sy), colour) in samples.items():
            with self.subTest(what):
                self.assertEqual(image.pixel(sx, sy), colour)

    def test_every_pixel_is_as_in_the_reference(self):
        run("xdotool", "mousemove", "0", "0")  # no pointer over the window, so no tooltip shows
        for percent in (100, 125, 150):  # 200 % is checked on a screen large enough, in tests/highdpi
            with self.subTest(scale=f"{percent} %"):
                program = self.start(env={"QT_SCALE_FACTOR": str(percent / 100)})
                program.activate()  # the focus frame on H shows only in the active window
                name = f"window-{percent}.png"
                differing = program.differs_from_reference(os.path.join(REFERENCES, name),
                                                           os.path.join(ARTIFACTS, name))
                program.stop()  # before the next start looks for its window by title
                self.assertEqual(differing, 0, f"pixels differ; the window as drawn is {ARTIFACTS}/{name}")

    def test_clicks_at_buttons_fill_the_panel(self):
        program = self.start()
        program.activate()
        text1 = (px(10560 + 600), px(240 + 247))
        text3 = (px(10560 + 600), px(1680 + 247))
        clicks = {
            "H": (centre_of(120, 240), "1", "Hydrogen"),
            "Uub": (centre_of(5400, 3240), "112", "Ununbium"),
            "**Th": (centre_of(2040, 4560), "90", "Thorium"),
            "Lu": (centre_of(8280, 4080), "71", "Lutetium"),
            "Li, just left of the strip shared with Be": ((px(600) - 1, px(840) + 10), "3", "Lithium"),
            "Be, just right of that strip": ((px(600) + 1, px(840) + 10), "4", "Beryllium"),
            "Na, just below the strip shared with Li": ((px(120) + 10, px(1320) + 1), "11", "Sodium"),
        }
        for what, ((cx, cy), number, name) in clicks.items():
            with self.subTest(what):
                program.click(cx, cy)
                self.assertEqual(program.box_text(*text1), number)
                self.assertEqual(program.box_text(*text3), name)

    def test_exit_button_ends_with_success(self):
        program = self.start(JUNK_ARGUMENTS)
        program.click(396, 400)
        self.assertEqual(program.wait(), 0)

    def test_closing_the_window_ends_with_success(self):
        program = self.start()
        run("wmctrl", "-i", "-c", program.window)
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
