"""Driving the web site in three browser engines: Debian's headless Chromium and WebKitGTK's MiniBrowser
through Debian's Selenium, and Debian's Firefox ESR through its own WebDriver BiDi (bidi.py). A local server for
the site, and the page's window, clicked, typed at and photographed as the real-window tests do on the desktop,
by the same methods in every engine."""

import atexit
import glob
import os
import pwd
import re
import socket
import subprocess
import sys
import tempfile
import time
import unittest
import warnings

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.webkitgtk.service import Service as WebKitService

sys.path.insert(0, os.path.dirname(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "realwindow"))
from bidi import Firefox  # noqa: E402
from desktop import Image, start_xvfb  # noqa: E402

SERVER = os.path.join(os.path.dirname(__file__), "..", "..", "scripts", "web", "serve.py")
CONTROL = "\ue009"
# The page as wide as the window, so that it shows the window at its designed size, as the Linux program at
# 100 %, and tall enough for it with the page's line of licences.
VIEWPORT = (792, 600)
NGINX_SITE = os.path.join(os.path.dirname(__file__), "..", "..", "resources", "web", "servers", "nginx-vostrel.conf")


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


_screen = None


def virtual_screen():
    """The X display of an Xvfb of the tests' own, started at the first call and ended with the tests: WebKitGTK
    has no headless mode, and Firefox gets WebGL only on a display (Mesa's llvmpipe through GLX; headless, it
    finds no GL driver). Xvfb picks a free display itself (-displayfd), as the desktop tests' screens do."""
    global _screen
    if _screen is None:
        try:
            server, display = start_xvfb("-dpi", "96")
        except RuntimeError as error:
            raise AssertionError(str(error)) from None
        atexit.register(lambda: (server.terminate(), server.wait()))
        _screen = display
    return _screen


def screen_environment(**more):
    """The environment of a program on the tests' virtual screen. Mesa keeps no shader cache: each browser is
    fresh, and one's processes may still be writing it when its profile is gone."""
    return {**os.environ, "DISPLAY": virtual_screen(), "MESA_SHADER_CACHE_DISABLE": "true", **more}
def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def configured(text, directive, value):
    """The server block with the one line of `directive` (the first, where it has several) set to `value`
    and the others left out: the lines an administrator sets."""
    lines = re.findall(rf"^[ \t]*{directive}[ \t][^;\n]*;[ \t]*\n", text, re.MULTILINE)
    if not lines:
        raise AssertionError(f"{NGINX_SITE} has no {directive} line to set")
    text = text.replace(lines[0], f"    {directive} {value};\n", 1)
    for line in lines[1:]:
        text = text.replace(line, "", 1)
    return text


class Nginx:
    """The site served by Debian's nginx with the server block of resources/web/servers/, its listen and root
    lines set to a free port of 127.0.0.1 and the site's folder: a foreground nginx with its own prefix,
    configuration, pid file, logs and temporary files in a folder of its own. Each request is logged with
    the bytes sent."""

    def __init__(self, folder):
        self._work = tempfile.TemporaryDirectory(prefix="vostrel-nginx-")
        work = self._work.name
        # Debian's modules-enabled/ names each module under the prefix, as Debian's own prefix holds them.
        os.symlink("/usr/share/nginx/modules", os.path.join(work, "modules"))
        port = free_port()
        with open(NGINX_SITE, encoding="utf-8") as file:
            site = file.read()
        site = configured(configured(site, "listen", f"127.0.0.1:{port}"), "root", os.path.abspath(folder))
        with open(os.path.join(work, "vostrel.conf"), "w", encoding="utf-8") as file:
            file.write(site)
        self.access_log = os.path.join(work, "access.log")
        self.error_log = os.path.join(work, "error.log")
        # Started by root, nginx's workers take the site's owner's rights rather than nobody's.
        user = f"user {pwd.getpwuid(os.stat(folder).st_uid).pw_name};" if os.geteuid() == 0 else ""
        temporary = "\n".join(f"    {kind}_temp_path {work}/{kind};"
                               for kind in ("client_body", "proxy", "fastcgi", "uwsgi", "scgi"))
        with open(os.path.join(work, "nginx.conf"), "w", encoding="utf-8") as file:
            file.write(f"""{user}
worker_processes 1;
pid {work}/nginx.pid;
error_log {self.error_log};
include /etc/nginx/modules-enabled/*.conf;
events {{ worker_connections 64; }}
http {{
    include /etc/nginx/mime.types;
    default_type application/octet-stream;
    log_format sent '$uri $status $bytes_sent "$sent_http_content_encoding"';
    access_log {self.access_log} sent;
{temporary}
    include {work}/vostrel.conf;
}}
""")
        self.process = subprocess.Popen(["/usr/sbin/nginx", "-p", work, "-c", f"{work}/nginx.conf",
                                         "-e", self.error_log, "-g", "daemon off;"], stderr=subprocess.PIPE, text=True)
        self.url = f"http://127.0.0.1:{port}/"
        deadline = time.monotonic() + 10
        while True:
            try:
                socket.create_connection(("127.0.0.1", port), timeout=1).close()
                return
            except OSError:
                if self.process.poll() is not None or time.monotonic() > deadline:
                    errors = self.errors()
                    self.stop()
                    raise AssertionError(f"nginx did not start: {errors}") from None
                time.sleep(0.05)

    def errors(self):
        stderr = self.process.stderr.read() if self.process.poll() is not None else ""
        logged = open(self.error_log, encoding="utf-8").read() if os.path.exists(self.error_log) else ""
        return (stderr + logged).strip()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(10)
        self.process.stderr.close()
        self._work.cleanup()


class Page:
    """Vostrel's page in one browser: its state (data-state on the body), its window and its boxes. An engine
    gives scripts, navigation, a click, keys and a picture of the viewport; the rest is the same in all."""

    engine = None

    def __init__(self, url=None):
        self.url = url  # the site's address

    # What each engine does its own way.

    def script(self, body, *arguments):
        """The value of a JavaScript function body, called with `arguments`, awaited if it is a promise."""
        raise NotImplementedError

    def navigate(self, url):
        """The page at `url`, once loaded."""
        raise NotImplementedError

    def reload(self):
        raise NotImplementedError

    def click_at(self, x, y):
        """A click of the mouse's left button at a CSS pixel of the page."""
        raise NotImplementedError

    def type_keys(self, *keys, held=None):
        """Each key pressed and released in turn, with the key `held` down around them."""
        raise NotImplementedError

    def viewport_png(self):
        """The page as the browser shows it, in device pixels."""
        raise NotImplementedError

    def close(self):
        raise NotImplementedError

    # The page, written once.

    # The one place that knows which element shows the window: the one page.js gives Qt. Qt 6.4 draws on it,
    # a canvas; newer Qts draw in elements of their own in its shadow root, so the tests only ask of this one
    # where it is and whether it shows.
    WINDOW = "document.getElementById('screen')"  # Qt's screen on the page, which the window fills

    def open(self, path=""):
        """The site's page at `path`, its start page unless given."""
        self.navigate(self.url + path)

    def leave(self):
        """A blank page in the browser, where nothing of the last site runs any more."""
        self.navigate("about:blank")

    def state(self):
        return self.script("return document.body.dataset.state || ''")

    def wait_for_state(self, state, timeout=60):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.state() == state:
                return
            time.sleep(0.1)
        raise AssertionError(f"the page is {self.state()!r}, not {state!r}, after {timeout} s: "
                             f"{self.text('message')!r}")

    def text(self, id):
        """The text an element of the page shows, or None without one."""
        return self.script("const e = document.getElementById(arguments[0]); return e ? e.innerText.trim() : null", id)

    def shown(self, id):
        return self.script("const e = document.getElementById(arguments[0]);"
                           "return !!e && e.checkVisibility({visibilityProperty: true, checkVisibilityCSS: true})", id)

    def window_shown(self):
        return self.script(f"const e = {self.WINDOW};"
                           "return e.checkVisibility({visibilityProperty: true, checkVisibilityCSS: true})")

    def press(self, id):
        """A click in the middle of an element of the page, as a person's."""
        left, top, width, height = self.script(
            "const r = document.getElementById(arguments[0]).getBoundingClientRect();"
            "return [r.left, r.top, r.width, r.height]", id)
        self.click_at(int(left + width / 2), int(top + height / 2))

    def window_rect(self):
        """Where the window is on the page, in CSS pixels: left, top, width, height."""
        return self.script(f"const r = {self.WINDOW}.getBoundingClientRect();"
                           "return [r.left, r.top, r.width, r.height]")

    def on_page(self, x, y):
        """The page's CSS pixel at a point of the window's client area, at the scale the window is shown."""
        left, top, width, _ = self.window_rect()
        scale = width / 792
        return left + x * scale, top + y * scale

    def screenshot(self, path, whole_page=False):
        """The window (or with whole_page, the viewport as the device shows it), kept at `path`. The window is
        cut from the viewport at its place in device pixels."""
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as file:
            file.write(self.viewport_png())
        if not whole_page:
            ratio = self.script("return devicePixelRatio")
            left, top, width, height = (round(value * ratio) for value in self.window_rect())
            subprocess.run(["convert", path, "-crop", f"{width}x{height}+{left}+{top}", "+repage", path], check=True)
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
        self.click_at(int(left), int(top))
        time.sleep(0.2)

    def key(self, *keys):
        for key in keys:
            self.type_keys(key)
            time.sleep(0.15)

    def box_text(self, x, y):
        """The whole text of the box at (x, y), read back through the clipboard as on the desktop: the box
        clicked, its text selected with Ctrl+A and copied with Ctrl+C."""
        self.clear_clipboard()
        self.click(x, y)
        self.type_keys("a", "c", held=CONTROL)
        time.sleep(0.3)
        return self.read_clipboard()

    # The engines on the tests' virtual screen copy to its X clipboard, read as the desktop tests read theirs.

    def clear_clipboard(self):
        # xclip holds the empty text until the page copies, or until it has served it once.
        subprocess.run(["xclip", "-selection", "clipboard", "-loops", "1", "-i", "/dev/null"], check=True,
                       env=screen_environment())

    def read_clipboard(self):
        return subprocess.run(["xclip", "-selection", "clipboard", "-o"], capture_output=True, text=True,
                              env=screen_environment()).stdout

    def mirrored_text(self, box):
        """The whole text of a detail box ("Text3"), as the page's mirror of the window holds it."""
        return self.script(
            "const box = document.getElementById('vostrel-' + arguments[0]); return box ? box.value : null;", box)


class SeleniumPage(Page):
    """The page in a browser that Selenium drives through the engine's WebDriver."""

    def __init__(self, url=None):
        super().__init__(url)
        self._profile = tempfile.TemporaryDirectory(prefix=f"vostrel-{self.engine}-")
        self._service = None  # a driver's service that the page started itself
        try:
            self.driver = self.start(self._profile.name)
        except BaseException:
            self._profile.cleanup()
            raise

    def start(self, profile):
        raise NotImplementedError

    def script(self, body, *arguments):
        return self.driver.execute_script(body, *arguments)

    def navigate(self, url):
        self.driver.get(url)

    def reload(self):
        self.driver.refresh()

    def click_at(self, x, y):
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(x, y).click()
        actions.perform()

    def type_keys(self, *keys, held=None):
        actions = ActionChains(self.driver)
        if held:
            actions.key_down(held)
        for key in keys:
            actions.send_keys(key)
        if held:
            actions.key_up(held)
        actions.perform()

    def viewport_png(self):
        return self.driver.get_screenshot_as_png()

    def close(self):
        try:
            self.driver.quit()
        finally:
            if self._service:
                self._service.stop()
            self._profile.cleanup()


class ChromiumPage(SeleniumPage):
    """The page in headless Chromium at 100 %, WebGL through SwiftShader, with nothing running in the background
    that would reach for the network, and its own fresh profile. Chromium alone also emulates devices and
    touch, and shows its accessibility tree, through its DevTools protocol."""

    engine = "chromium"
    webgl = True

    def start(self, profile):
        options = webdriver.ChromeOptions()
        options.binary_location = "/usr/bin/chromium"
        graphics = ("--enable-unsafe-swiftshader", "--use-angle=swiftshader") if self.webgl else ("--disable-webgl",)
        for argument in ("--headless=new", "--no-sandbox", *graphics, "--force-device-scale-factor=1", f"--window-size={VIEWPORT[0]},{VIEWPORT[1]}",
                         "--no-first-run", "--disable-background-networking", "--disable-component-update",
                         "--disable-sync", "--disable-dev-shm-usage", f"--user-data-dir={profile}"):
            options.add_argument(argument)
        options.set_capability("goog:loggingPrefs", {"browser": "ALL"})  # the page's console, for failures
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        # The window's size takes in the browser's own bars: the page gets the viewport as the other engines do.
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": VIEWPORT[0], "height": VIEWPORT[1], "deviceScaleFactor": 1, "mobile": False})
        return driver

    def open(self, path=""):
        # Headless, Chromium has a clipboard of its own, which the site reads once the visitor allows it.
        self.driver.execute_cdp_cmd("Browser.grantPermissions", {
            "origin": self.url.rstrip("/"), "permissions": ["clipboardReadWrite", "clipboardSanitizedWrite"]})
        super().open(path)

    def clear_clipboard(self):
        self.script("return navigator.clipboard.writeText('')")

    def read_clipboard(self):
        return self.script("return navigator.clipboard.readText().catch(e => 'clipboard: ' + e)")

    def canvas(self):
        """The canvas Qt draws the window into, in the shadow tree of Qt's screen on the page."""
        return self.driver.execute_script(
            f"const screen = {self.WINDOW}.firstElementChild;"
            "return screen && screen.shadowRoot && screen.shadowRoot.querySelector('.qt-window canvas');")

    def emulate(self, width, height, ratio=1, touch=False):
        """The page on a device: a viewport of width x height CSS pixels at `ratio` device pixels each, as
        a phone or tablet (mobile viewport and touch) or as a computer."""
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": height, "deviceScaleFactor": ratio, "mobile": touch})
        self.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": touch, "maxTouchPoints": 5})
        # Returns once the page has had its resize event and drawn a frame at the new size (or after a second
        # without one): before, the page still shows the window fitted to the last size.
        self.script("return new Promise(done => { requestAnimationFrame(() => requestAnimationFrame(done));"
                    " setTimeout(done, 1000); })")

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


class ChromiumWithoutWebGLPage(ChromiumPage):
    """Chromium as on a computer whose graphics it does not trust: no WebGL."""

    webgl = False


class WebKitGTKPage(SeleniumPage):
    """The page in WebKitGTK's MiniBrowser under WebKitWebDriver, on the tests' virtual screen: WebKitGTK draws
    WebGL there with Mesa's llvmpipe. Its window, without a frame on a screen without a window manager, is
    as wide as its page."""

    engine = "webkitgtk"

    def start(self, profile):
        options = webdriver.WebKitGTKOptions()
        options.binary_location = glob.glob("/usr/lib/*/webkit2gtk-4.1/MiniBrowser")[0]  # in the machine's triplet
        options.add_argument("--automation")
        service = WebKitService("/usr/bin/WebKitWebDriver", env=screen_environment(XDG_CACHE_HOME=profile,
                                                                                    XDG_DATA_HOME=profile))
        service.start()
        try:
            with warnings.catch_warnings():  # of the capability "platform" that Selenium's own defaults hold
                warnings.filterwarnings("ignore", "platform is not a w3c capability", DeprecationWarning)
                driver = webdriver.Remote(command_executor=service.service_url, options=options)
            driver.set_window_size(*VIEWPORT)
        except BaseException:
            service.stop()
            raise
        self._service = service
        return driver


class FirefoxPage(Page):
    """The page in Firefox ESR on the tests' virtual screen, at one device pixel per CSS pixel."""

    engine = "firefox"

    def __init__(self, url=None):
        super().__init__(url)
        self._profile = tempfile.TemporaryDirectory(prefix="vostrel-firefox-")
        try:
            self.browser = Firefox(self._profile.name, screen_environment())
            self.browser.set_viewport(*VIEWPORT)
        except BaseException:
            self._profile.cleanup()
            raise

    def script(self, body, *arguments):
        return self.browser.call(f"function () {{ {body}\n}}", *arguments)

    def navigate(self, url):
        self.browser.navigate(url)

    def reload(self):
        self.browser.reload()

    def click_at(self, x, y):
        self.browser.perform({"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"}, "actions": [
            {"type": "pointerMove", "x": x, "y": y, "origin": "viewport"},
            {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]})

    def type_keys(self, *keys, held=None):
        steps = [{"type": kind, "value": key} for key in keys for kind in ("keyDown", "keyUp")]
        if held:
            steps = [{"type": "keyDown", "value": held}, *steps, {"type": "keyUp", "value": held}]
        self.browser.perform({"type": "key", "id": "keyboard", "actions": steps})

    def viewport_png(self):
        return self.browser.screenshot()

    def close(self):
        self.browser.quit()
        self._profile.cleanup()


PAGES = {page.engine: page for page in (ChromiumPage, WebKitGTKPage, FirefoxPage)}


class PageTest(unittest.TestCase):
    """A test of the page: the site (VOSTREL_SITE) served on a port of its own, and a fresh browser of the
    class's engine; or, with one_browser, the class's one browser, which each test finds on a blank page and
    comes to its own site in, another origin, with nothing of the last test's."""

    engine = "chromium"
    one_browser = False

    @classmethod
    def setUpClass(cls):
        cls.shared_page = None
        if cls.one_browser:
            cls.shared_page = PAGES[cls.engine]()
            cls.addClassCleanup(cls.shared_page.close)

    def setUp(self):
        self.site = Site(os.environ["VOSTREL_SITE"])
        self.addCleanup(self.site.stop)
        if self.shared_page:
            self.page = self.shared_page
            self.page.url = self.site.url
            self.addCleanup(self.page.leave)
        else:
            self.page = PAGES[self.engine](self.site.url)
            self.addCleanup(self.page.close)
