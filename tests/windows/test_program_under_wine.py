"""Vostrel.exe under Wine on a virtual X screen: its window, looks, icon, pointer, clicks, keys and exit as on
Linux; and the program file's own resources as wrestool lists them."""

import os
import re
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from desktop import JUNK_ARGUMENTS, Program, picture_problems, run  # noqa: E402
from window_looks import CLIENT_SIZE, EXIT_BUTTON, SAMPLES, TEXT1, TEXT3, H, px  # noqa: E402

PROGRAM = os.environ["VOSTREL_PROGRAM"]
ARTIFACTS = os.environ["VOSTREL_ARTIFACTS"]


class ProgramUnderWineTest(unittest.TestCase):
    def start(self, args=(), env=None):
        program = Program("wine", [PROGRAM, *args], env=env, title="Vostrel")
        self.addCleanup(program.stop)
        return program

    def test_window_looks_as_on_linux(self):
        program = self.start(JUNK_ARGUMENTS)
        self.assertEqual(program.geometry()[2:], CLIENT_SIZE)
        image = program.screenshot(os.path.join(ARTIFACTS, "window-under-wine.png"))
        for what, ((x, y), colour) in SAMPLES.items():
            with self.subTest(what):
                self.assertEqual(image.pixel(x, y), colour)

    def test_window_icon_and_hand_cursor(self):
        program = self.start()
        self.assertEqual(picture_problems(program.window), [])

    def test_click_and_tab_fill_the_boxes(self):
        program = self.start()
        program.activate()
        program.click(px(120) + 10, px(1320) + 1)  # Na, just below the strip it shares with Li
        self.assertEqual((program.box_text(*TEXT1), program.box_text(*TEXT3)), ("11", "Sodium"))

        program.click(*H)
        program.key("Tab", "space")  # from H the tab order goes to He
        self.assertEqual((program.box_text(*TEXT1), program.box_text(*TEXT3)), ("2", "Helium"))

    def test_exit_button_ends_with_success_and_nothing_to_warn_of(self):
        # Qt's warnings go to standard error here. One about the DPI awareness would say that the program
        # file's manifest and what Qt asks of Windows at start-up disagree.
        program = self.start(env={"QT_FORCE_STDERR_LOGGING": "1"})
        program.click(*EXIT_BUTTON)
        self.assertEqual(program.wait(), 0)
        self.assertEqual(program.process.stderr.read().decode("utf-8", "replace"), "")


class ProgramFileTest(unittest.TestCase):
    def test_icon_group_version_record_and_manifest(self):
        listed = run("wrestool", "--list", PROGRAM)
        resources = set(re.findall(r"--type=(\d+) --name=(\d+) --language=1033", listed))
        self.assertEqual(resources, {("14", "1"), ("3", "30001"), ("3", "30002"), ("16", "1"), ("24", "1")},
                         listed)

        record = subprocess.run(["wrestool", "--extract", "--raw", "--type=16", "--name=1", PROGRAM],
                                check=True, capture_output=True).stdout.decode("utf-16-le", "replace")
        for key, value in [("OriginalFilename", "Vostrel.exe"), ("InternalName", "Vostrel"),
                           ("FileVersion", "1.00"), ("ProductVersion", "1.00")]:
            with self.subTest(key):
                self.assertRegex(record, f"{key}\0+{re.escape(value)}\0")

    def test_hardened_and_without_a_link_time(self):
        header = run("x86_64-w64-mingw32-objdump", "-p", PROGRAM)
        characteristics = re.search(r"^DllCharacteristics\s+[0-9a-f]+\n((?:\t\t.*\n)+)", header, re.M)
        self.assertIsNotNone(characteristics, header)
        for flag in ("HIGH_ENTROPY_VA", "DYNAMIC_BASE", "NX_COMPAT"):  # ASLR with high entropy, DEP
            with self.subTest(flag):
                self.assertIn(flag, characteristics.group(1))
        self.assertRegex(header, r"Time/Date\s+Thu Jan  1 00:00:00 1970")  # none: the same link, the same file


if __name__ == "__main__":
    unittest.main(verbosity=2)
