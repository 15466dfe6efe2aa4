"""Driving the real program in a real window on the virtual X screen with xdotool, wmctrl and xclip."""

import ctypes
import os
import select
import subprocess
import sys
import time

BLACK, YELLOW = 0xFF000000, 0xFFFFFF00
# Points of the window's client area, in pixels: the title label, and bare background right of it.
TITLE_LABEL, BACKGROUND = (236, 36), (400, 20)

# Arguments the program ignores: Qt's own options among them, and an empty and a Thai one.
JUNK_ARGUMENTS = ["--junk", "-reverse", "-style", "fusion", "-qwindowgeometry", "10x10+0+0", "", "ภาษาไทย"]


def start_xvfb(*arguments):
    """An Xvfb on a free display, which it picks itself (-displayfd), with `arguments` added: (the server,
    its display name), once it accepts connections; RuntimeError if it does not start within 30 s."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24", *arguments,
                               "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    number, deadline = b"", time.monotonic() + 30
    while not number.endswith(b"\n") and time.monotonic() < deadline:
        if select.select([read_end], [], [], 0.5)[0]:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
    os.close(read_end)
    if not number.strip().isdigit():
        server.kill()
        server.wait()
        raise RuntimeError("Xvfb did not start")
    return server, ":" + number.decode().strip()


def run(*command, check=True):
    return subprocess.run(command, check=check, capture_output=True, text=True).stdout


class Program:
    """The program started as a separate process, with its top-level window found by title."""

    def __init__(self, binary, args=(), env=None, title="Vostrel"):
        environment = dict(os.environ)
        environment.pop("QT_QPA_PLATFORM", None)
        environment.update(env or {})
        self.process = subprocess.Popen([binary, *args], env=environment,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
        self.window = self._find_window(title)

    def _find_window(self, title):
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise AssertionError(f"program ended with {self.process.returncode} before showing its window")
            found = run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$", check=False).split()
            if found:
                time.sleep(0.5)  # let the window manager settle and the first paint happen
                return found[0]
            time.sleep(0.1)
        raise AssertionError(f"no window titled {title!r} appeared")

    def geometry(self):
        """Client area: x, y, width, height in screen pixels."""
        info = run("xwininfo", "-id", self.window)
        value = {}
        for line in info.splitlines():
            key, _, rest = line.strip().partition(":")
            value[key] = rest.strip()
        return (int(value["Absolute upper-left X"]), int(value["Absolute upper-left Y"]),
                int(value["Width"]), int(value["Height"]))

    def activate(self):
        run("xdotool", "windowactivate", "--sync", self.window, check=False)
        time.sleep(0.2)

    def click(self, x, y):
        run("xdotool", "mousemove", "--window", self.window, str(x), str(y), "click", "1")
        time.sleep(0.15)

    def key(self, *keys):
        run("xdotool", "key", "--clearmodifiers", *keys)
        time.sleep(0.15)

    def box_text(self, x, y):
        """The whole text of the box at (x, y), read back through the clipboard."""
        self.click(x, y)
        self.key("ctrl+a", "ctrl+c")
        return run("xclip", "-selection", "clipboard", "-o", check=False)

    def screenshot(self, path):
        os.makedirs(os.path.dirname(path), exist_ok=True)
        run("import", "-window", self.window, path)
        return Image(path)

    def differs_from_reference(self, reference, path):
        """How many pixels of the client area differ from the kept picture `reference` (0 when none do);
        the window as last captured is left at `path`."""
        expected = Image(reference)
        deadline = time.monotonic() + 5  # the first paint and the focus may still be on their way
        while True:
            image = self.screenshot(path)
            if image.data == expected.data or time.monotonic() > deadline:
                break
            time.sleep(0.05)
        if (image.width, image.height) != (expected.width, expected.height):
            return image.width * image.height
        return sum(image.data[i:i + 3] != expected.data[i:i + 3] for i in range(0, len(image.data), 3))

    def wait(self, timeout=10):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
            raise AssertionError("the program did not end")

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


class Image:
    """An RGB picture read through ImageMagick, for sampling pixels."""

    def __init__(self, path):
        data = subprocess.run(["convert", path, "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
        size = run("identify", "-format", "%w %h", path).split()
        self.width, self.height = int(size[0]), int(size[1])
        self.data = data

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.data[i:i + 3])


def window_icons(window):
    """The images of _NET_WM_ICON as {(width, height): [ARGB, ...]}."""
    output = run("xprop", "-id", window, "-notype", "32c", "_NET_WM_ICON")
    _, _, values = output.partition("=")
    if not values.strip():
        return {}
    numbers = [int(v) for v in values.replace("\n", " ").split(",")]
    icons = {}
    while len(numbers) >= 2:
        width, height = numbers[0], numbers[1]
        icons[(width, height)] = numbers[2 : 2 + width * height]
        numbers = numbers[2 + width * height :]
    return icons


class CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def cursor_at(window, point):
    """Width, height, hot spot and the alpha at the hot spot of the pointer's image at a client point."""
    run("xdotool", "mousemove", "--window", window, str(point[0]), str(point[1]))
    time.sleep(0.5)
    xlib, xfixes = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXfixes.so.3")
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = xlib.XOpenDisplay(None)
    if not display:
        sys.exit("FAIL: cannot open the X display")
    try:
        image = xfixes.XFixesGetCursorImage(display).contents
        alpha = image.pixels[image.yhot * image.width + image.xhot] >> 24 & 0xFF
        return image.width, image.height, (image.xhot, image.yhot), alpha
    finally:
        xlib.XCloseDisplay(ctypes.c_void_p(display))


def picture_problems(window):
    """What is wrong with the window's icon and with the pointer over its title label and background: the
    trefoil at 32 and 16 pixels and the hand, hot spot 12,1, are expected. Empty when all is well."""
    problems = []
    icons = window_icons(window)
    if sorted(icons) != [(16, 16), (32, 32)]:
        problems.append(f"the window's icon has the sizes {sorted(icons)}, not 16 x 16 and 32 x 32")
    for (side, _), pixels in icons.items():
        middle = side // 2
        corner, centre, upper_blade = pixels[0], pixels[middle * side + middle], pixels[side // 5 * side + middle]
        if corner >> 24 != 0 or centre != BLACK or upper_blade != YELLOW:
            problems.append(f"the {side} x {side} icon is not the trefoil")
    for name, point in (("title label", TITLE_LABEL), ("background", BACKGROUND)):
        width, height, hot_spot, alpha = cursor_at(window, point)
        if (width, height, hot_spot) != (32, 32, (12, 1)) or alpha == 0:
            problems.append(f"over the {name} the pointer is {width} x {height} with hot spot {hot_spot} "
                            f"(alpha {alpha} there), not the hand")
    return problems
