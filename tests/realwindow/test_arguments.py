"""The program started with 200 generated argument vectors, and under odd environments, shows the same
window every time: same place and size, left to right, same style, focus on H, same title.

Each start is compared with a reference start (no arguments) by a capture of the whole client area,
which is byte for byte the same only if all of those agree. The vectors come from a seeded generator;
the seed is printed, and VOSTREL_ARGUMENTS_SEED=<number> makes the same vectors again.
"""

import os
import random
import struct
import subprocess
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
from desktop import Program, run  # noqa: E402

BINARY = os.environ["VOSTREL_BINARY"]
EXEC_WITH_ARGV = os.environ["VOSTREL_EXEC_WITH_ARGV"]
ARTIFACTS = os.environ["VOSTREL_ARTIFACTS"]
SCREEN_W, SCREEN_H = 1280, 1024
CLIENT_W, CLIENT_H = 792, 416
VECTOR_COUNT = 200
MAX_ARG_STRLEN = 128 * 1024  # the kernel's limit for one argument, with its terminating null

# Qt's own command-line options, each with values a user might give; none of them may change the window.
QT_OPTIONS = [
    [b"-reverse"], [b"--reverse"], [b"-style", b"fusion"], [b"-style=fusion"], [b"-style", b"windows"],
    [b"-style", b"nonexistent"], [b"-stylesheet", b"/nonexistent.qss"], [b"-stylesheet=/dev/null"],
    [b"-qwindowgeometry", b"10x10+0+0"], [b"-qwindowgeometry=10x10+0+0"], [b"-geometry", b"10x10+0+0"],
    [b"-geometry", b"99999x99999-99999-99999"], [b"-platform", b"offscreen"], [b"-platform", b"minimal"],
    [b"-platform", b"xcb:nonexistent"], [b"-platformpluginpath", b"/nonexistent"],
    [b"-platformtheme", b"gtk3"], [b"-session", b"x"], [b"-session=x_1234"], [b"-display", b":99"],
    [b"-display", b"nonsense"], [b"-title", b"Other"], [b"-qwindowtitle", b"Other"],
    [b"-qwindowicon", b"/nonexistent.png"], [b"-name", b"other"], [b"-font", b"Sans 40"], [b"-fn", b"fixed"],
    [b"-bg", b"red"], [b"-background", b"#00ff00"], [b"-fg", b"blue"], [b"-foreground", b"white"],
    [b"-btn", b"black"], [b"-button", b"pink"], [b"-visual", b"TrueColor"], [b"-ncols", b"2"], [b"-cmap"],
    [b"-im", b"none"], [b"-inputstyle", b"onthespot"], [b"-nograb"], [b"-dograb"], [b"-sync"],
    [b"-widgetcount"], [b"-testability"], [b"-plugin", b"evdevkeyboard"], [b"-qmljsdebugger=port:1234"],
    [b"-graphicssystem", b"raster"], [b"-reverse", b"-style", b"fusion", b"-qwindowgeometry", b"10x10+0+0"],
    [b"--help"], [b"-h"], [b"--version"], [b"-v"], [b"--"], [b"-"],
]

INVALID_UTF8 = [
    b"\xff", b"\xfe\xff", b"\xc3\x28", b"\xc0\xaf", b"\xe0\x80\xaf", b"\xed\xa0\x80", b"\xed\xbf\xbf",
    b"\xf4\x90\x80\x80", b"\xf8\x88\x80\x80\x80", b"\x80", b"-style\xff", b"-reverse\xc3", b"\xe0\xb8",
]

TEXTS = ["ภาษาไทย", "Vostrel", "שלום", "مرحبا", "😀", "\u202eevil", "a b c", "*", "$HOME", "%s%n", "..", "/"]


def fixed_vectors():
    """The vectors every run tries, as (description, argv); argv includes argv[0]."""
    long_arg = b"x" * (MAX_ARG_STRLEN - 1)
    vectors = [
        ("no arguments at all, not even the program name", []),
        ("an empty program name", [b""]),
        ("the program name alone", [b"vostrel"]),
        ("one empty argument", [b"vostrel", b""]),
        ("a program name of the longest allowed length", [long_arg]),
        ("an argument of the longest allowed length", [b"vostrel", long_arg]),
        ("20,000 short arguments", [b"vostrel"] + [b"-reverse"] * 20000),
        ("a program name that is not UTF-8", [b"\xff\xfevostrel"]),
        ("a Qt option as the program name", [b"-reverse"]),
        ("a program name with a path that does not exist", [b"/nonexistent/path/vostrel"]),
    ]
    vectors += [(f"Qt option {b' '.join(option)!r}", [b"vostrel", *option]) for option in QT_OPTIONS]
    vectors += [(f"invalid UTF-8 {arg!r}", [b"vostrel", arg]) for arg in INVALID_UTF8]
    return vectors


def random_argument(rng):
    kind = rng.randrange(6)
    if kind == 0:
        return list(rng.choice(QT_OPTIONS))
    if kind == 1:
        return [rng.choice(INVALID_UTF8) + bytes(rng.randrange(1, 256) for _ in range(rng.randrange(8)))]
    if kind == 2:
        return [bytes(rng.randrange(1, 256) for _ in range(rng.randrange(1, 64)))]  # any bytes but null
    if kind == 3:
        return [rng.choice(TEXTS).encode()]
    if kind == 4:
        return [rng.choice([b"a", b"-", "ก".encode(), b"\xff"]) * rng.randrange(1000, MAX_ARG_STRLEN // 4)]
    return [b""]


def generated_vectors(rng, count):
    vectors = fixed_vectors()
    while len(vectors) < count:
        argv = [] if rng.randrange(20) == 0 else [rng.choice([b"vostrel", b"", BINARY.encode(), b"\xff"])]
        for _ in range(rng.randrange(12)):
            argv += random_argument(rng)
        vectors.append((f"random vector {len(vectors)}", argv))
    return vectors[:count]


class Capture:
    """The client area of a window through xwd: its place on the screen, its size and its pixels."""

    def __init__(self, window):
        data = subprocess.run(["xwd", "-silent", "-id", window], check=True, capture_output=True).stdout
        header = struct.unpack(">25I", data[:100])
        self.xwd = data
        self.width, self.height = header[20], header[21]
        self.x, self.y = header[22], header[23]
        self.pixels = data[header[0] + 12 * header[19]:]  # past the header, the name and the colour map

    def differing_pixels(self, other):
        if len(self.pixels) != len(other.pixels):
            return self.width * self.height
        return sum(self.pixels[i:i + 4] != other.pixels[i:i + 4] for i in range(0, len(self.pixels), 4))

    def save(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        subprocess.run(["convert", "xwd:-", path], input=self.xwd, check=True)

    def pixel(self, x, y):
        i = 4 * (y * self.width + x)
        blue, green, red = self.pixels[i:i + 3]  # 32 bits a pixel, least significant byte first
        return red, green, blue


def started(argv, env=None):
    environment = dict(os.environ)
    environment.pop("QT_QPA_PLATFORM", None)
    environment.update(env or {})
    return subprocess.Popen([EXEC_WITH_ARGV, BINARY, *argv], env=environment,
                            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def windows_of(process, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if process.poll() is not None:
            raise AssertionError(f"the program ended with {process.returncode}: {process.stderr.read()[-2000:]!r}")
        found = run("xdotool", "search", "--onlyvisible", "--pid", str(process.pid), check=False).split()
        if found:
            return found
        time.sleep(0.02)
    raise AssertionError("no window appeared")


def stopped(process):
    if process.poll() is None:
        process.kill()
    process.wait()
    process.stderr.close()


class ArgumentRobustnessTest(unittest.TestCase):
    failures = 0

    @classmethod
    def setUpClass(cls):
        run("xdotool", "mousemove", "0", "0")  # no pointer over the window, so nothing shows hover
        cls.reference = cls.reference_window()

    @classmethod
    def reference_window(cls):
        program = Program(BINARY)
        try:
            time.sleep(1)  # settled: mapped, focused and painted
            capture = Capture(program.window)
            capture.save(os.path.join(ARTIFACTS, "arguments-reference.png"))
            # The focus is on H: Space clicks it, and the panel shows hydrogen.
            program.key("space")
            number = program.box_text(10560 // 15 + 40, 240 // 15 + 16)
        finally:
            program.stop()
        assert number == "1", f"Space in the reference window did not click H (Text1 shows {number!r})"
        return capture

    def test_reference_window_is_the_designed_one(self):
        reference = self.reference
        self.assertEqual((reference.width, reference.height), (CLIENT_W, CLIENT_H))
        self.assertLessEqual(abs(reference.x + CLIENT_W / 2 - SCREEN_W / 2), 20)
        self.assertLessEqual(abs(reference.y + CLIENT_H / 2 - SCREEN_H / 2), 40)
        # Left to right: H's yellow face at the left edge, He's pink one at the right of the grid.
        self.assertEqual(reference.pixel(120 // 15 + 5, 240 // 15 + 5), (255, 255, 0))
        self.assertEqual(reference.pixel(8280 // 15 + 5, 360 // 15 + 5), (255, 128, 255))

    def assert_same_window(self, argv, env=None, what=""):
        process = started(argv, env)
        try:
            windows = windows_of(process)
            self.assertEqual(len(windows), 1, "more than one window")
            self.assertEqual(run("xdotool", "getwindowname", windows[0]).strip(), "Vostrel")
            # Compared until it matches (the first paint and the focus may still be on their way),
            # then once more a little later, so that nothing changes after the match.
            deadline = time.monotonic() + 5
            while True:
                capture = Capture(windows[0])
                if capture.xwd == self.reference.xwd or time.monotonic() > deadline:
                    break
                time.sleep(0.05)
            if capture.xwd == self.reference.xwd:
                time.sleep(0.1)
                capture = Capture(windows[0])
            if capture.xwd != self.reference.xwd:
                ArgumentRobustnessTest.failures += 1
                name = f"arguments-failed-{ArgumentRobustnessTest.failures}.png"
                capture.save(os.path.join(ARTIFACTS, name))
                self.fail(f"{what}: window at ({capture.x}, {capture.y}) size {capture.width}x{capture.height}, "
                          f"{capture.differing_pixels(self.reference)} pixels differ from the reference "
                          f"(reference at ({self.reference.x}, {self.reference.y}); picture {name})")
            self.assertIsNone(process.poll(), "the program ended")
        finally:
            stopped(process)

    def test_generated_argument_vectors_change_nothing(self):
        seed = int(os.environ.get("VOSTREL_ARGUMENTS_SEED") or random.SystemRandom().randrange(2**32))
        print(f"argument vectors seed {seed} (VOSTREL_ARGUMENTS_SEED={seed} repeats them)", flush=True)
        vectors = generated_vectors(random.Random(seed), VECTOR_COUNT)
        self.assertEqual(len(vectors), VECTOR_COUNT)
        began = time.monotonic()
        for index, (what, argv) in enumerate(vectors):
            with self.subTest(index=index, vector=what, seed=seed):
                self.assert_same_window(argv, what=f"{what}: {argv[:6]!r}"[:300])
        print(f"{len(vectors)} starts in {time.monotonic() - began:.1f} s", flush=True)

    def assert_environments_change_nothing(self, environments):
        for env in environments:
            for argv in ([b"vostrel"], [b"vostrel", b"-style", b"fusion", b"-reverse"]):
                with self.subTest(env=env, argv=argv):
                    self.assert_same_window(argv, env, what=f"{env} {argv!r}")

    def test_style_override_changes_nothing(self):
        self.assert_environments_change_nothing([
            {"QT_STYLE_OVERRIDE": "fusion"},
            {"QT_STYLE_OVERRIDE": "windows"},
            {"QT_STYLE_OVERRIDE": "nonexistent"},
            {"QT_STYLE_OVERRIDE": ""},
        ])

    def test_locale_changes_nothing(self):
        self.assert_environments_change_nothing([
            {"LANG": "C", "LC_ALL": "C"},
            {"LANG": "ar_EG.UTF-8", "LC_ALL": "ar_EG.UTF-8", "LANGUAGE": "ar"},
        ])

    def test_thai_locale_changes_nothing(self):
        self.assert_environments_change_nothing([{"LANG": "th_TH.UTF-8", "LC_ALL": "th_TH.UTF-8"}])

if __name__ == "__main__":
    unittest.main(verbosity=2)
