"""Driving the web site in Debian's headless Chromium through Debian's Selenium: a local server for the site,
and the page's window, clicked, typed at and photographed as the real-window tests do on the desktop."""

import os
import subprocess
import sys
import tempfile
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from desktop import Image  # noqa: E402

SERVER = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "web", "serve.py")


class Site:
    """The site served from its folder on a free port of 127.0.0.1 by the same server as ./web.sh --serve."""

    def __init__(self, folder):
        self.process = subprocess.Popen([sys.executable, SERVER, folder, "0"], stdout=subprocess.PIPE, text=True)
        self.url = self.process.stdout.readline().strip()
        if not self.url.startswith("http://127.0.0.1:"):
            self.stop()
            raise AssertionError(f"the server did not start: {self.url!r}")

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)
        self.process.stdout.close()


def chromium(profile, webgl=True):
    """Headless Chromium at 100 %, WebGL through SwiftShader (or, as on a computer whose graphics the browser
    does not trust, none), with nothing running in the background that would reach for the network, and its
    own fresh profile. Its page is as wide as the window, so the page shows the window at its designed size,
    as the Linux program at 100 %."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    graphics = ("--enable-unsafe-swiftshader", "--use-angle=swiftshader") if webgl else ("--disable-webgl",)
    for argument in ("--headless=new", "--no-sandbox", *graphics,
                     "--force-device-scale-factor=1", "--window-size=792,600", "--no-first-run",
                     "--disable-background-networking", "--disable-component-update", "--disable-sync",
                     "--disable-dev-shm-usage", f"--user-data-dir={profile}"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})  # the page's console, for failures
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


class Page:
    """Vostrel's page in one browser: its state (data-state on the body), its window and the clipboard."""

    def __init__(self, url, webgl=True):
        self._profile = tempfile.TemporaryDirectory(prefix="vostrel-chromium-")
        self.driver = chromium(self._profile.name, webgl)
        self.url = url
        # The boxes' text is read back as on the desktop: selected, copied, and read from the clipboard.
        origin = url.rstrip("/")
        self.driver.execute_cdp_cmd("Browser.grantPermissions", {
            "origin": origin, "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})

    def open(self):
        self.driver.get(self.url)

    def state(self):
        return self.driver.execute_script("return document.body.dataset.state || ''")

    def wait_for_state(self, state, timeout=60):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.state() == state:
                return
            time.sleep(0.1)
        raise AssertionError(f"the page is {self.state()!r}, not {state!r}, after {timeout} s: "
                             f"{self.driver.find_element('id', 'message').text!r}")

    def canvas(self):
        """The canvas Qt draws the window into, in the shadow tree of Qt's screen on the page."""
        return self.driver.execute_script(
            "const screen = document.getElementById('screen').firstElementChild;"
            "return screen && screen.shadowRoot && screen.shadowRoot.querySelector('.qt-window canvas');")

    def emulate(self, width, height, ratio=1, touch=False):
        """The page on a device: a viewport of width x height CSS pixels at `ratio` device pixels each, as
        a phone or tablet (mobile viewport and touch) or as a computer."""
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": touch})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": touch, "maxTouchPoints": 5})

    def window_rect(self):
        """Where the window is on the page, in CSS pixels: left, top, width, height (Qt's screen, which the
        window fills)."""
        return self.driver.execute_script(
            "const r = document.getElementById('screen').getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height];")

    def on_page(self, x, y):
        """The page's CSS pixel at a point of the window's client area, at the scale the window is shown."""
        left, top, width, _ = self.window_rect()
        scale = width / 792
        return left + x * scale, top + y * scale

    def touch(self, kind, *points):
        """One touch event of Chromium's input, fingers at points of the page: touchStart, touchMove,
        touchEnd or touchCancel."""
        self.driver.execute_cdp_cmd("Input.dispatchTouchEvent", {
            "type": kind, "touchPoints": [{"x": x, "y": y, "id": i} for i, (x, y) in enumerate(points)]})

    def tap(self, x, y):
        """A finger's tap at a point of the window's client area."""
        point = self.on_page(x, y)
        self.touch("touchStart", point)
        self.touch("touchEnd")
        time.sleep(0.1)

    def screenshot(self, path, whole_page=False):
        """The window (or with whole_page, the viewport as the device shows it), kept at `path`."""
        os.makedirs(os.path.dirname(path), exist_ok=True)
        picture = self.driver.get_screenshot_as_png() if whole_page else self.canvas().screenshot_as_png
        with open(path, "wb") as file:
            file.write(picture)
        return Image(path)

    def wait_for_picture(self, path, reference, timeout=10):
        """The window once it has drawn itself: captured until it matches the reference picture or stops
        changing for a second; left at `path`."""
        deadline = time.monotonic() + timeout
        image = self.screenshot(path)
        unchanged_since = time.monotonic()
        while time.monotonic() < deadline and image.data != reference.data:
            time.sleep(0.2)
            again = self.screenshot(path)
            if again.data != image.data:
                unchanged_since = time.monotonic()
            elif time.monotonic() - unchanged_since > 1 and self.drawn(again):
                return again
            image = again
        return image

    @staticmethod
    def drawn(image):
        return len(set(image.data[i:i + 3] for i in range(0, len(image.data), 3 * 97))) > 4

    def click(self, x, y):
        """A click at a point of the window's client area, at the scale the window is shown."""
        left, top = self.on_page(x, y)
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(left), int(top)).click()
        actions.perform()
        time.sleep(0.2)

    def key(self, *keys):
        for key in keys:
            ActionChains(self.driver).send_keys(key).perform()
            time.sleep(0.15)

    def box_text(self, x, y):
        """The whole text of the box at (x, y), read back through the clipboard."""
        self.driver.execute_script("navigator.clipboard.writeText('')")
        self.click(x, y)
        ActionChains(self.driver).key_down("\ue009").send_keys("a").send_keys("c").key_up("\ue009").perform()
        time.sleep(0.3)
        return self.driver.execute_async_script(
            "navigator.clipboard.readText().then(arguments[0], e => arguments[0]('clipboard: ' + e))")

    def mirrored_text(self, box):
        """The whole text of a detail box ("Text3"), as the page's mirror of the window holds it."""
        return self.driver.execute_script(
            "const box = document.getElementById('vostrel-' + arguments[0]); return box ? box.value : null;", box)

    def close(self):
        self.driver.quit()
        self._profile.cleanup()


class PageTest(unittest.TestCase):
    """A test of the page: the site (VOSTREL_SITE) served on a port of its own, and a fresh browser."""

    def setUp(self):
        self.site = Site(os.environ["VOSTREL_SITE"])
        self.addCleanup(self.site.stop)
        self.page = Page(self.site.url)
        self.addCleanup(self.page.close)
