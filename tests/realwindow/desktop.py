"""Driving the real program in a real window on the virtual X screen with xdotool, wmctrl and xclip."""

import os
import subprocess
import time

# Arguments the program ignores: Qt's own options among them, and an empty and a Thai one.
JUNK_ARGUMENTS = ["--junk", "-reverse", "-style", "fusion", "-qwindowgeometry", "10x10+0+0", "", "ภาษาไทย"]


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
