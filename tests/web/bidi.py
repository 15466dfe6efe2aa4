"""Firefox driven through WebDriver BiDi, which Firefox speaks itself: Debian ships no geckodriver, so the
tests start Debian's firefox-esr with its remote agent on a free port of 127.0.0.1 and talk to it over one
WebSocket (Debian's websocket-client). Only what the page tests use: scripts, navigation, input and
screenshots of the one tab."""

import base64
import json
import os
import re
import subprocess
import time

import websocket

# Under its remote agent Firefox already sets the preferences that keep an automated browser quiet (no
# updates, no telemetry, no safe browsing lists). These keep its first start from opening pages of its own.
PREFERENCES = {
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.page": 0,
    "browser.startup.homepage_override.mstone": "ignore",
    "datareporting.policy.dataSubmissionEnabled": False,
}


class BiDiError(AssertionError):
    pass


class Firefox:
    """One Firefox with a fresh profile in `profile`, started with `environment` (its display), and its first
    tab."""

    def __init__(self, profile, environment, binary="/usr/bin/firefox-esr"):
        with open(os.path.join(profile, "user.js"), "w") as file:
            for name, value in PREFERENCES.items():
                file.write(f"user_pref({json.dumps(name)}, {json.dumps(value)});\n")
        self.log_path = os.path.join(profile, "firefox.log")
        with open(self.log_path, "w") as log:
            self.process = subprocess.Popen(
                [binary, "--remote-debugging-port=0", "--profile", profile, "--no-remote", "--new-instance"],
                stdout=log, stderr=subprocess.STDOUT, env=environment)
        try:
            address = self._address()
            # Firefox refuses a WebSocket that names an Origin, as a web page's would.
            self.socket = websocket.create_connection(f"{address}/session", suppress_origin=True, timeout=120)
            self._next_id = 0
            self.command("session.new", capabilities={})
            self.context = self.command("browsingContext.getTree", maxDepth=0)["contexts"][0]["context"]
        except BaseException:
            self.process.kill()
            self.process.wait()
            raise

    def _address(self, timeout=60):
        """The WebSocket address Firefox prints once its remote agent listens."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            with open(self.log_path) as log:
                found = re.search(r"WebDriver BiDi listening on (ws://\S+)", log.read())
            if found:
                return found.group(1)
            if self.process.poll() is not None:
                break
            time.sleep(0.1)
        raise BiDiError(f"Firefox's remote agent did not start: {self.log()[-2000:]}")

    def log(self):
        with open(self.log_path, errors="replace") as log:
            return log.read()

    def command(self, method, **params):
        """Sends one command and returns its result; events that arrive meanwhile are not asked for."""
        self._next_id += 1
        self.socket.send(json.dumps({"id": self._next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") != self._next_id:
                continue
            if message["type"] == "error":
                raise BiDiError(f"{method}: {message['error']}: {message['message']}")
            return message["result"]

    def call(self, function, *arguments):
        """The value of a JavaScript function called with JSON-like arguments in the tab, awaited if it
        is a promise; an exception in it fails the test with its text."""
        result = self.command("script.callFunction", functionDeclaration=function, awaitPromise=True,
                              arguments=[local_value(argument) for argument in arguments],
                              target={"context": self.context})
        if result["type"] == "exception":
            details = result["exceptionDetails"]
            raise BiDiError(f"script: {details['text']}")
        return python_value(result["result"])

    def navigate(self, url):
        self.command("browsingContext.navigate", context=self.context, url=url, wait="complete")

    def reload(self):
        self.command("browsingContext.reload", context=self.context, wait="complete")

    def set_viewport(self, width, height, ratio=1):
        self.command("browsingContext.setViewport", context=self.context,
                     viewport={"width": width, "height": height}, devicePixelRatio=ratio)

    def perform(self, *sources):
        """Input actions as WebDriver has them: a pointer's or the keyboard's list of steps."""
        self.command("input.performActions", context=self.context, actions=list(sources))

    def screenshot(self):
        """The viewport as PNG, in device pixels."""
        return base64.b64decode(self.command("browsingContext.captureScreenshot", context=self.context)["data"])

    def quit(self):
        try:
            self.command("browser.close")
        except (BiDiError, OSError, websocket.WebSocketException):
            pass
        finally:
            self.socket.close()
            try:
                self.process.wait(20)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()


def local_value(value):
    """A Python value as BiDi's serialized JavaScript value."""
    if value is None:
        return {"type": "null"}
    if isinstance(value, bool):
        return {"type": "boolean", "value": value}
    if isinstance(value, (int, float)):
        return {"type": "number", "value": value}
    if isinstance(value, str):
        return {"type": "string", "value": value}
    if isinstance(value, (list, tuple)):
        return {"type": "array", "value": [local_value(item) for item in value]}
    raise TypeError(f"no BiDi value for {value!r}")


def python_value(remote):
    """A serialized JavaScript value as Python's: primitives, arrays and plain objects."""
    kind = remote["type"]
    if kind in ("undefined", "null"):
        return None
    if kind in ("string", "boolean"):
        return remote["value"]
    if kind == "number":
        value = remote["value"]
        return value if not isinstance(value, float) or not value.is_integer() else int(value)
    if kind == "array":
        return [python_value(item) for item in remote["value"]]
    if kind == "object":
        return {key: python_value(item) for key, item in remote["value"]}
    raise BiDiError(f"the page returned a {kind}, which the tests do not read")
