"""The built program read by a separate accessibility client over AT-SPI, as a screen reader reads it:
names and descriptions of every control, pressing a button through its action, reading the boxes
through their text and its attribute runs, the focus announced as Tab and the arrow keys move it, and
each selection announced once."""

import os
import sys
import time
import unittest

import pyatspi
from gi.repository import GLib

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from desktop import Program  # noqa: E402

BINARY = os.environ["VOSTREL_BINARY"]

SOLID, LIQUID, GAS = "ของแข็ง", "ของเหลว", "ก๊าซ"
SYNTHESIZED = "ธาตุที่นักวิทยาศาสตร์สังเคราะห์ขึ้น"

# Field label of each box, top to bottom, with the box's top in pixels and what it shows for sodium.
PANEL = [
    ("เลขอะตอม", 16, "11"),
    ("เลขออกซิเดชั่น", 64, "1"),
    ("ชื่อธาตุ", 112, "Sodium"),
    ("จุดเดือด", 160, "829"),
    ("จุดหลอมเหลว", 208, "97.72"),
    ("จำนวนโปรตรอน", 256, "11"),
    ("จำนวนอิเล็กตรอน", 304, "11"),
    ("หมู่ธาตุ", 352, "IA"),
]
CAPTIONS = ["ตารางธาตุ", "Lanthanide series", "Actenide", "Transition Element", "Inner transition Metal",
            "โลหะ", "กึ่งอโลหะ", "อโลหะ", "ก๊าซเฉื่อย"]


def pump(until, timeout=10.0):
    """Lets the client take in what the program sends until `until()` holds; returns its last value."""
    context = GLib.MainContext.default()
    deadline = time.monotonic() + timeout
    while True:
        while context.iteration(False):
            pass
        result = until()
        if result or time.monotonic() > deadline:
            return result
        time.sleep(0.05)


class ScreenReader:
    """The accessibility client: the program's window as AT-SPI shows it, and what it announces."""

    def __init__(self, program):
        self.focused = []  # names of the controls announced as taking the focus, in order
        self.texts = []    # (box name, text inserted), in order
        self.shown = []    # (role, name, description) of what was announced as shown, in order
        self._listeners = [(self._on_focus, "object:state-changed:focused"),
                           (self._on_text, "object:text-changed:insert"),
                           (self._on_shown, "object:state-changed:showing")]
        for callback, event in self._listeners:
            pyatspi.Registry.registerEventListener(callback, event)
        self.window = pump(lambda: self._find_window(program.process.pid))
        if self.window is None:
            raise AssertionError("the program's window did not appear on the accessibility bus")
        self.controls = [self.window.getChildAtIndex(i) for i in range(self.window.childCount)]

    def close(self):
        for callback, event in self._listeners:
            pyatspi.Registry.deregisterEventListener(callback, event)

    @staticmethod
    def _find_window(pid):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and app.get_process_id() == pid and app.childCount > 0:
                return app.getChildAtIndex(0)
        return None

    def _on_focus(self, event):
        if event.detail1:
            self.focused.append(event.source.name)

    def _on_text(self, event):
        self.texts.append((event.source.name, event.any_data))

    def _on_shown(self, event):
        if event.detail1:
            self.shown.append((event.source.getRole(), event.source.name, event.source.description))

    def with_role(self, role):
        return [c for c in self.controls if c.getRole() == role]

    def named(self, name):
        found = [c for c in self.controls if c.name == name]
        if len(found) != 1:
            raise AssertionError(f"{len(found)} controls named {name!r}")
        return found[0]

    def place(self, control):
        """Top-left corner of a control in the window's own pixels."""
        x, y = control.queryComponent().getPosition(pyatspi.WINDOW_COORDS)
        wx, wy = self.window.queryComponent().getPosition(pyatspi.WINDOW_COORDS)
        return x - wx, y - wy

    def text_of(self, control):
        return control.queryText().getText(0, -1)

    def press(self, control):
        action = control.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        action.doAction(names.index("Press"))

    def is_focused(self, control):
        return control.getState().contains(pyatspi.STATE_FOCUSED)


class ScreenReaderTest(unittest.TestCase):
    def setUp(self):
        self.program = Program(BINARY)
        self.addCleanup(self.program.stop)
        self.reader = ScreenReader(self.program)
        self.addCleanup(self.reader.close)

    def focus_after(self, key, expected):
        """Presses a key and waits for the focus to be announced on the control named `expected`."""
        self.reader.focused.clear()
        self.program.key(key)
        heard = pump(lambda: self.reader.focused)
        self.assertEqual(heard, [expected], f"after {key}")

    def test_window_and_every_control_are_named(self):
        reader = self.reader
        self.assertEqual(reader.window.getRole(), pyatspi.ROLE_FRAME)
        self.assertEqual(reader.window.name, "Vostrel")

        buttons = reader.with_role(pyatspi.ROLE_PUSH_BUTTON)
        self.assertEqual(len(buttons), 113)
        exit_button = reader.named("จบการทำงาน")
        self.assertEqual(exit_button.description, "")
        elements = [b for b in buttons if b != exit_button]
        names = [b.name for b in elements]
        self.assertEqual(len(set(names)), 112)
        for name in names:
            symbol, _, english = name.partition(" ")
            self.assertTrue(symbol.isalpha() and symbol[0].isupper() and english.isalpha(), name)
        states = [b.description for b in elements]
        self.assertEqual({s: states.count(s) for s in set(states)},
                         {SOLID: 75, LIQUID: 4, GAS: 11, SYNTHESIZED: 22})

        # Each name and state is on the button that stands for that element.
        for name, place, state in [("H Hydrogen", (8, 16), GAS), ("Na Sodium", (8, 88), SOLID),
                                   ("La Lanthanum", (72, 184), SOLID), ("Ce Cerium", (136, 272), SOLID),
                                   ("Ac Actinium", (72, 216), SOLID), ("Th Thorium", (136, 304), SOLID),
                                   ("Hg Mercury", (360, 184), LIQUID), ("Uub Ununbium", (360, 216), SYNTHESIZED)]:
            with self.subTest(name):
                button = reader.named(name)
                self.assertEqual(reader.place(button), place)
                self.assertEqual(button.description, state)

        boxes = reader.with_role(pyatspi.ROLE_TEXT)
        self.assertEqual(len(boxes), 8)
        for label, top, _ in PANEL:
            with self.subTest(label):
                named = [b for b in boxes if b.name == label]
                self.assertEqual(len(named), 1)
                self.assertEqual(reader.place(named[0]), (704, top))
                labelled_by = [r.getTarget(0).name for r in named[0].getRelationSet()
                               if r.getRelationType() == pyatspi.RELATION_LABELLED_BY]
                self.assertEqual(labelled_by, [label])

        static = [c.name for c in reader.with_role(pyatspi.ROLE_LABEL)]
        self.assertEqual(sorted(static), sorted(CAPTIONS + [label for label, _, _ in PANEL]))

    def test_pressing_a_button_through_its_action_fills_the_boxes(self):
        reader = self.reader
        boxes = {b.name: b for b in reader.with_role(pyatspi.ROLE_TEXT)}
        self.assertEqual([reader.text_of(boxes[label]) for label, _, _ in PANEL], [""] * 8)
        reader.press(reader.named("Na Sodium"))
        shown = pump(lambda: [reader.text_of(boxes[label]) for label, _, _ in PANEL]
                     if len(reader.texts) >= 8 else None)
        self.assertEqual(shown, [value for _, _, value in PANEL])
        # Every new text was announced, box by box in the order of the record.
        order = [0, 1, 2, 3, 4, 5, 7, 6]  # the group (bottom row) is written before the electrons
        self.assertEqual(reader.texts, [(PANEL[i][0], PANEL[i][2]) for i in order])

    def test_each_selection_is_announced_once_without_moving_the_focus(self):
        self.program.activate()
        reader = self.reader
        sodium = reader.named("Na Sodium")
        sodium.queryComponent().grabFocus()
        self.assertTrue(pump(lambda: reader.is_focused(sodium)))
        x, y = reader.place(reader.named("Al Aluminum"))
        every_box = ", ".join(f"{label} {value}" for label, _, value in PANEL)  # top to bottom
        for how, select, name, focused in [
                ("Space", lambda: self.program.key("space"), "Sodium, 11", "Na Sodium"),
                ("Enter", lambda: self.program.key("Right", "Return"), "Magnesium, 12", "Mg Magnesium"),
                ("click", lambda: self.program.click(x + 16, y + 16), "Aluminum, 13", "Al Aluminum")]:
            with self.subTest(how):
                reader.shown.clear()
                select()
                pump(lambda: reader.shown)
                pump(lambda: len(reader.shown) > 1, timeout=1.0)  # time for a second one, should it come
                self.assertEqual([(role, said) for role, said, _ in reader.shown],
                                 [(pyatspi.ROLE_NOTIFICATION, name)])
                if how == "Space":
                    self.assertEqual(reader.shown[0][2], every_box)
                # The focus stays on the button pressed, and no window opens.
                self.assertTrue(reader.is_focused(reader.named(focused)))
                self.assertEqual(reader.window.parent.childCount, 1)

    def test_a_box_reads_whole_along_its_attribute_runs(self):
        reader = self.reader
        boxes = {b.name: b for b in reader.with_role(pyatspi.ROLE_TEXT)}
        reader.press(reader.named("Mg Magnesium"))
        self.assertTrue(pump(lambda: len(reader.texts) >= 8))
        for label, value in [("จุดเดือด", "1107"), ("ชื่อธาตุ", "Magnesium"), ("เลขออกซิเดชั่น", "2")]:
            with self.subTest(value):
                text = boxes[label].queryText()
                # As a screen reader splits a line: run after run from the start, each from the offset
                # where the last one ended.
                runs, offset = [], 0
                while offset < text.characterCount:
                    _, start, end = text.getAttributeRun(offset, False)
                    runs.append((start, end))
                    offset = max(end, offset + 1)
                self.assertEqual(runs, [(0, len(value))])
                self.assertEqual(text.getText(0, -1), value)

    def test_tab_moves_the_focus_along_the_tab_chain(self):
        self.program.activate()
        reader = self.reader
        self.assertTrue(pump(lambda: reader.is_focused(reader.named("H Hydrogen"))))
        for name in ["He Helium", "Ne Neon", "Ar Argon", "Kr Krypton", "Xe Xenon", "Rn Radon", "Li Lithium"]:
            self.focus_after("Tab", name)
        self.focus_after("shift+Tab", "Rn Radon")

        # From Uub, the last element before the panel, into the boxes and on to K and the exit button.
        reader.named("Uub Ununbium").queryComponent().grabFocus()
        self.assertTrue(pump(lambda: reader.is_focused(reader.named("Uub Ununbium"))))
        for name in ["เลขออกซิเดชั่น", "ชื่อธาตุ", "จุดเดือด", "จุดหลอมเหลว", "จำนวนโปรตรอน", "หมู่ธาตุ",
                     "จำนวนอิเล็กตรอน", "เลขอะตอม", "K Potassium", "จบการทำงาน", "H Hydrogen"]:
            self.focus_after("Tab", name)

    def test_arrow_keys_move_the_focus_across_the_grid(self):
        self.program.activate()
        reader = self.reader
        walks = [
            ("Na Sodium", [("Right", "Mg Magnesium"), ("Right", "Al Aluminum"), ("Down", "Ga Gallium"),
                           ("Left", "Zn Zinc"), ("Up", None), ("Left", "Cu Copper")]),
            ("Ha Hahnium", [("Down", "Ce Cerium"), ("Down", "Th Thorium"), ("Down", None),
                            ("Up", "Ce Cerium"), ("Up", "Ha Hahnium")]),
            ("Lu Lutetium", [("Up", "Rn Radon"), ("Right", None), ("Down", "Lu Lutetium")]),
        ]
        for start, steps in walks:
            reader.named(start).queryComponent().grabFocus()
            self.assertTrue(pump(lambda: reader.is_focused(reader.named(start))), start)
            at = start
            for key, expected in steps:
                with self.subTest(f"{at}, {key}"):
                    if expected is None:  # an edge: the focus stays and nothing is announced
                        reader.focused.clear()
                        self.program.key(key)
                        pump(lambda: reader.focused, timeout=0.5)
                        self.assertEqual(reader.focused, [])
                        self.assertTrue(reader.is_focused(reader.named(at)))
                    else:
                        self.focus_after(key, expected)
                        at = expected


if __name__ == "__main__":
    unittest.main(verbosity=2)
