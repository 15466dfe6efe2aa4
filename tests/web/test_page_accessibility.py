"""The web page read as assistive technology reads it, through Chromium's accessibility tree: every control
of the window named as on the desktop in its designed order, the boxes labelled, each selection told once
through the live region, and the page's focus and the window's moving together. And as axe-core, the rules
engine of Lighthouse and of most accessibility checkers, judges it against WCAG 2.0, 2.1 and 2.2 A and AA
and its best practices, on a computer and on a phone, before and after a selection."""

import os
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, os.path.dirname(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "scripts"))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
import npm_cache  # noqa: E402
from browser import PageTest  # noqa: E402
from selenium.webdriver.common.action_chains import ActionChains  # noqa: E402
from window_looks import TEXT3, px  # noqa: E402


# The element buttons in the window's designed tab order, by symbol; K, tab index 136, comes last.
DESIGNED_ORDER = (
    "H He Ne Ar Kr Xe Rn Li Be F O N C B Mn Cr V Ti Sc Zn Cu Ni Co Fe Na Mg Al Si P S Cl Ca Br Se As Ge Ga "
    "Tc Mo Nb Zr Y Cd Ag Pd Rh Ru Rb Sr I Te Sb Sn In Re W Ta Hf La Hg Au Pt Ir Os Cs Ba At Po Bi Pb Tl "
    "Fr Ra Ac Rf Ha Ce Pr Nd Pm Sm Eu Gd Tb Dy Ho Er Tm Yb Lu Th Pa U Np Pu Am Cm Bk Cf Es Fm Md No Lw "
    "Sg Bh Hs Mt Uun Uuu Uub K").split()
# The boxes' field labels, top to bottom.
FIELD_LABELS = ["เลขอะตอม", "เลขออกซิเดชั่น", "ชื่อธาตุ", "จุดเดือด", "จุดหลอมเหลว", "จำนวนโปรตรอน",
                "จำนวนอิเล็กตรอน", "หมู่ธาตุ"]
NAME_BOX = "ชื่อธาตุ"
GAS = "ก๊าซ"
TAB, SHIFT, SPACE, ENTER, DOWN = "\ue004", "\ue008", " ", "\ue007", "\ue015"
NA = (px(120) + 10, px(1320) + 1)

AXE = ("axe-core", "4.14.1", "sha512-FHfa+lmNjQZfJz1q8wKqIDwC6DExcHt/pkjNQb09a3NPjCKg2rhu5qb2S4r76ASyFNNtuFooJpZe37OgudVGtQ==")
AXE_TAGS = ["wcag2a", "wcag2aa", "wcag21a", "wcag21aa", "wcag22a", "wcag22aa", "best-practice"]
# A phone's browser as Qt tells one: Qt then adds its own text field for the phone's keyboard.
PHONE = "Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/120.0 Mobile Safari/537.36"


def value(node, field):
    return (node.get(field) or {}).get("value", "")


class AccessibilityTree:
    """Chromium's accessibility tree of the page, in document order, as a screen reader gets it."""

    def __init__(self, driver):
        self.driver = driver
        driver.execute_cdp_cmd("Accessibility.enable", {})
        nodes = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
        self.by_id = by_id = {node["nodeId"]: node for node in nodes}
        self.nodes = []
        roots = [node for node in nodes if "parentId" not in node]
        stack = list(reversed(roots))
        while stack:
            node = stack.pop()
            if not node.get("ignored"):
                self.nodes.append(node)
            stack.extend(reversed([by_id[child] for child in node.get("childIds", []) if child in by_id]))

    def role(self, role):
        return [node for node in self.nodes if value(node, "role") == role]

    def named(self, role, name):
        found = [node for node in self.role(role) if value(node, "name") == name]
        if len(found) != 1:
            raise AssertionError(f"{len(found)} {role} nodes named {name!r}")
        return found[0]

    def focused(self):
        """The node with the page's focus (the document itself, which holds it, left aside)."""
        return [node for node in self.nodes if value(node, "role") != "RootWebArea"
                and any(p["name"] == "focused" and p["value"]["value"] for p in node.get("properties", []))]

    def live_text(self):
        """The text of the window's polite live region."""
        regions = [node for node in self.role("status")
                   if any(p["name"] == "live" and p["value"]["value"] == "polite" for p in node.get("properties", []))
                   and self.text_under(node)]
        return [self.text_under(node) for node in regions]

    def text_under(self, node):
        """The text a node holds: its pieces of static text, in order."""
        texts, pending = [], list(node.get("childIds", []))
        while pending:
            child = self.by_id.get(pending.pop(0))
            if child is None:
                continue
            if value(child, "role") == "StaticText":
                texts.append(value(child, "name"))
            else:
                pending[:0] = child.get("childIds", [])
        return "".join(texts)

    def activate(self, node):
        """What a screen reader's default action does to a button: a click on its element."""
        remote = self.driver.execute_cdp_cmd("DOM.resolveNode", {"backendNodeId": node["backendDOMNodeId"]})
        self.driver.execute_cdp_cmd("Runtime.callFunctionOn", {
            "objectId": remote["object"]["objectId"], "functionDeclaration": "function() { this.click(); }"})


def axe_findings(driver):
    """What axe-core finds on the page as it stands, one readable entry per rule: its violations, and what it
    could not decide by itself (which a person would have to check)."""
    if not driver.execute_script("return typeof axe === 'object'"):
        driver.execute_script((npm_cache.package(*AXE) / "axe.min.js").read_text(encoding="utf-8"))
    result = driver.execute_async_script(
        "axe.run(document, {runOnly: {type: 'tag', values: arguments[0]}})"
        ".then(arguments[1], e => arguments[1]({error: String(e)}))", AXE_TAGS)
    if "error" in result:
        raise AssertionError(f"axe-core: {result['error']}")
    if len(result["passes"]) < 20:  # a run that checked next to nothing proves nothing
        raise AssertionError(f"axe-core passed only {[rule['id'] for rule in result['passes']]}")
    findings = []
    for kind, verdict in (("violations", "violation"), ("incomplete", "to check by hand")):
        for rule in result[kind]:
            nodes = "".join(f"\n    {' '.join(map(str, node['target']))}: "
                            f"{' / '.join(node.get('failureSummary', '').splitlines()[1:]) or node['html']}"
                            for node in rule["nodes"])
            findings.append(f"{rule['id']} ({verdict}, {rule['impact']}): {rule['help']}{nodes}")
    return findings


class PageAccessibilityTest(PageTest):
    def setUp(self):
        super().setUp()
        self.page.open()
        self.page.wait_for_state("running")

    def tree(self):
        return AccessibilityTree(self.page.driver)

    def wait_for(self, check, timeout=5):
        """The tree once `check` holds of it (a screen reader hears of changes as they come)."""
        deadline = time.monotonic() + timeout
        while True:
            tree = self.tree()
            try:
                check(tree)
                return tree
            except AssertionError:
                if time.monotonic() > deadline:
                    raise
            time.sleep(0.1)

    def test_controls_are_named_as_on_the_desktop_in_their_designed_order(self):
        tree = self.tree()
        buttons = [(value(node, "name"), value(node, "description")) for node in tree.role("button")]
        self.assertEqual(len(buttons), 113, buttons)
        self.assertEqual([name.split(" ")[0] for name, _ in buttons[:112]], DESIGNED_ORDER)
        self.assertEqual(buttons[0], ("H Hydrogen", GAS))
        self.assertEqual(buttons[DESIGNED_ORDER.index("Na")], ("Na Sodium", "ของแข็ง"))
        self.assertEqual(buttons[DESIGNED_ORDER.index("Uub")],
                         ("Uub Ununbium", "ธาตุที่นักวิทยาศาสตร์สังเคราะห์ขึ้น"))
        self.assertEqual(buttons[112], ("จบการทำงาน", ""))
        for name, description in buttons[:112]:
            self.assertRegex(name, r"^[A-Z][a-z]{0,2} [A-Z][a-z]+$")
            self.assertTrue(description, name)
        boxes = tree.role("textbox")
        self.assertEqual(sorted(value(node, "name") for node in boxes), sorted(FIELD_LABELS))
        self.assertEqual(value(tree.named("textbox", NAME_BOX), "value"), "")
        self.assertIn("ตารางธาตุ", [value(node, "name") for node in tree.role("StaticText")])
        # The window's title, which its frame shows on the desktop, heads the page.
        heading = tree.named("heading", "Vostrel")
        self.assertEqual([p["value"]["value"] for p in heading.get("properties", []) if p["name"] == "level"], [1])
        self.assertLess(tree.nodes.index(heading), tree.nodes.index(tree.role("button")[0]))
        # The window is read from the mirror alone, over the canvas where it is drawn.
        h = self.page.script(
            "const r = document.getElementById('vostrel-Command1').getBoundingClientRect(),"
            f" c = {self.page.WINDOW}.getBoundingClientRect();"
            "return [r.left - c.left, r.top - c.top, r.width, r.height]")
        self.assertEqual(h, [8, 16, 33, 33])

    def test_a_selection_from_the_tree_is_told_once(self):
        tree = self.tree()
        tree.activate(tree.named("button", "Na Sodium"))

        def told(tree):
            self.assertEqual(value(tree.named("textbox", NAME_BOX), "value"), "Sodium")
            self.assertEqual([text.count("Sodium, 11") for text in tree.live_text()], [1])
        tree = self.wait_for(told)
        self.assertEqual([value(node, "name") for node in tree.focused()], ["Na Sodium"])
        announced = tree.live_text()[0]
        self.assertTrue(announced.startswith("Sodium, 11. เลขอะตอม 11, เลขออกซิเดชั่น 1, ชื่อธาตุ Sodium"),
                        announced)
        print(f"\n  live region: {announced}", file=sys.stderr)

    def test_tab_moves_both_focuses_together(self):
        self.assertEqual([value(node, "name") for node in self.tree().focused()], ["H Hydrogen"])
        self.page.key(TAB)
        self.assertEqual([value(node, "name") for node in self.tree().focused()], ["He Helium"])
        self.page.key(SPACE)  # the window's focus went along: Space selects He
        self.wait_for(lambda tree: self.assertEqual(value(tree.named("textbox", NAME_BOX), "value"), "Helium"))

    def test_tab_from_the_page_reaches_the_window_through_its_controls(self):
        """The canvas, hidden from assistive technology, is no Tab stop; its controls are, and drive it."""
        canvas = self.page.canvas()
        self.assertEqual((canvas.get_attribute("aria-hidden"), canvas.get_property("tabIndex")), ("true", -1))
        self.page.driver.execute_script("document.querySelector('footer a').focus()")
        ActionChains(self.page.driver).key_down(SHIFT).send_keys(TAB).key_up(SHIFT).perform()
        time.sleep(0.15)
        self.assertEqual([value(node, "name") for node in self.tree().focused()], ["จบการทำงาน"])
        self.page.key(TAB, SPACE)  # the window's order wraps from its last control to H
        self.wait_for(lambda tree: self.assertEqual(value(tree.named("textbox", NAME_BOX), "value"), "Hydrogen"))

    def test_keys_only(self):
        """A blind student: down the column from H, Enter, then Shift+Tab back."""
        self.page.key(DOWN, DOWN, ENTER)  # H, Li, Na
        tree = self.wait_for(lambda tree: self.assertEqual([t.count("Sodium, 11") for t in tree.live_text()], [1]))
        self.assertEqual([value(node, "name") for node in tree.focused()], ["Na Sodium"])
        self.page.type_keys(TAB, held=SHIFT)  # Na (24) to Fe
        time.sleep(0.15)
        self.assertEqual([value(node, "name") for node in self.tree().focused()], ["Fe Iron"])


class AxeTest(PageTest):
    def assertNothingFound(self, when):
        findings = axe_findings(self.page.driver)
        if findings:
            self.fail(f"axe-core {AXE[1]}, {when}:\n" + "\n".join(findings))

    def selected(self, name):
        deadline = time.monotonic() + 5
        while self.page.mirrored_text("Text3") != name:
            if time.monotonic() > deadline:
                raise AssertionError(f"the name box shows {self.page.mirrored_text('Text3')!r}, not {name!r}")
            time.sleep(0.1)

    def test_nothing_found_on_a_computer_before_and_after_a_selection(self):
        self.page.open()
        self.page.wait_for_state("running")
        self.assertNothingFound("at the start")
        self.page.click(*NA)
        self.selected("Sodium")
        self.assertNothingFound("with Na selected by a click")

    def test_nothing_found_on_a_phone_before_and_after_a_selection(self):
        self.page.emulate(844, 390, 3, touch=True)
        self.page.driver.execute_cdp_cmd("Emulation.setUserAgentOverride", {"userAgent": PHONE})
        self.page.open()
        self.page.wait_for_state("running")
        self.assertEqual(self.page.driver.execute_script(
            "return [...document.querySelectorAll('input:not([readonly])')].map(i => i.getAttribute('aria-label'))"),
            ["ช่องพิมพ์ของหน้าต่าง Vostrel (Typing into Vostrel's window)"])  # Qt's field, named
        self.assertNothingFound("at the start")
        self.page.tap(*NA)
        self.selected("Sodium")
        self.page.tap(*TEXT3)  # the phone's keyboard comes up for the box
        self.assertNothingFound("with Na selected by a tap, and its name box tapped")


class PinnedPackageTest(unittest.TestCase):
    def test_a_package_whose_checksum_is_not_the_pinned_one_is_refused(self):
        name, version, integrity = AXE
        wrong = integrity[:-6] + ("AAAAA=" if not integrity.endswith("AAAAA=") else "BBBBB=")
        with tempfile.TemporaryDirectory() as cache:
            os.environ["XDG_CACHE_HOME"] = cache
            try:
                with self.assertRaises(SystemExit) as refused:
                    npm_cache.package(name, version, wrong)
            finally:
                del os.environ["XDG_CACHE_HOME"]
            self.assertIn(f"{name}@{version} from npm has checksum {integrity}, not the pinned {wrong}",
                          str(refused.exception))
            self.assertEqual(list(Path(cache).rglob("*.js")), [])  # nothing kept


if __name__ == "__main__":
    unittest.main(verbosity=2)
