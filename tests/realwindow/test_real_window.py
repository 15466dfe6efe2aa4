"""The built program in a real window under a window manager: placement, looks, clicks and both ways out."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop import JUNK_ARGUMENTS, Program, run  # noqa: E402
from window_looks import CLIENT_SIZE, EXIT_BUTTON, SAMPLES, TEXT1, TEXT3, centre_of, px  # noqa: E402

BINARY = os.environ["VOSTREL_BINARY"]
ARTIFACTS = os.environ["VOSTREL_ARTIFACTS"]
# The offscreen pictures of tests/highdpi: the real window is drawn pixel for pixel like them.
REFERENCES = os.path.join(os.path.dirname(__file__), "..", "highdpi", "reference")
SCREEN_W, SCREEN_H = 1280, 1024


class RealWindowTest(unittest.TestCase):
    def start(self, args=(), env=None):
        program = Program(BINARY, args, env)
        self.addCleanup(program.stop)
        return program

    def test_window_is_centred_and_looks_as_drawn(self):
        program = self.start(JUNK_ARGUMENTS)
        x, y, width, height = program.geometry()
        self.assertEqual((width, height), CLIENT_SIZE)
        self.assertLessEqual(abs(x + width / 2 - SCREEN_W / 2), 20)
        self.assertLessEqual(abs(y + height / 2 - SCREEN_H / 2), 40)  # the title bar takes its share

        image = program.screenshot(os.path.join(ARTIFACTS, "window.png"))
        for what, ((sx, sy), colour) in SAMPLES.items():
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
                self.assertEqual(program.box_text(*TEXT1), number)
                self.assertEqual(program.box_text(*TEXT3), name)

    def test_exit_button_ends_with_success(self):
        program = self.start(JUNK_ARGUMENTS)
        program.click(*EXIT_BUTTON)
        self.assertEqual(program.wait(), 0)

    def test_closing_the_window_ends_with_success(self):
        program = self.start()
        run("wmctrl", "-i", "-c", program.window)
        self.assertEqual(program.wait(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
