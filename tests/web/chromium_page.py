"""The page in headless Chromium, driven over the DevTools protocol: a
loopback server for the dist folder, one browser, and the page's errors
collected (any of them fails a test)."""
import base64
import contextlib
import functools
import http.server
import json
import os
import shutil
import socket
import subprocess
import tempfile
import threading
import time
import urllib.request

import websocket  # Debian's python3-websocket


def _free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class _IsolatingHandler(_QuietHandler):
    """The headers that make a page cross-origin isolated."""

    def end_headers(self):
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        super().end_headers()


@contextlib.contextmanager
def served(folder, isolated=False):
    """Serves folder on loopback, cross-origin isolated if asked; yields its base URL."""
    handler = functools.partial(_IsolatingHandler if isolated else _QuietHandler, directory=folder)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    thread = threading.Thread(target=server.serve_forever, daemon=True)
    thread.start()
    try:
        yield "http://127.0.0.1:%d/" % server.server_address[1]
    finally:
        server.shutdown()
        server.server_close()


class Page:
    """One Chromium tab; errors lists every exception and console error."""

    def __init__(self, width=320, height=180):
        self.port = _free_port()
        self.profile = tempfile.mkdtemp(prefix="sg-chromium-")
        self.browser = subprocess.Popen(
            ["chromium", "--headless=new", "--no-sandbox", "--use-gl=angle", "--use-angle=swiftshader",
             "--enable-unsafe-swiftshader", "--mute-audio",
             "--remote-debugging-port=%d" % self.port, "--remote-allow-origins=*",
             "--user-data-dir=" + self.profile, "--window-size=%d,%d" % (width, height), "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.socket = websocket.create_connection(self._page_socket(), timeout=120)
        self.next_id = 0
        self.errors = []
        self.console = []
        self.call("Runtime.enable")
        self.call("Log.enable")
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=1,
                  mobile=False)

    def emulate_phone(self, width, height, ratio):
        """A phone's viewport (CSS pixels) at this device pixel ratio, with a
        touch screen: the page sees a coarse pointer and touch events."""
        self.call("Emulation.setDeviceMetricsOverride", width=width, height=height, deviceScaleFactor=ratio,
                  mobile=True)
        self.call("Emulation.setTouchEmulationEnabled", enabled=True, maxTouchPoints=5)

    def screenshot(self):
        """The page as shown, PNG bytes at its device pixels."""
        return base64.b64decode(self.call("Page.captureScreenshot", format="png")["data"])

    def _page_socket(self):
        deadline = time.time() + 30
        while time.time() < deadline:
            try:
                with urllib.request.urlopen("http://127.0.0.1:%d/json" % self.port) as reply:
                    for target in json.load(reply):
                        if target.get("type") == "page":
                            return target["webSocketDebuggerUrl"]
            except OSError:
                pass
            time.sleep(0.2)
        raise RuntimeError("chromium did not open its DevTools port")

    def _note(self, message):
        method, params = message.get("method"), message.get("params", {})
        if method == "Runtime.exceptionThrown":
            details = params["exceptionDetails"]
            self.errors.append(details.get("exception", {}).get("description") or details.get("text"))
        elif method == "Runtime.consoleAPICalled":
            text = " ".join(str(a.get("value", a.get("description", ""))) for a in params.get("args", []))
            self.console.append(text)
            if params.get("type") == "error":
                self.errors.append(text)
        elif method == "Log.entryAdded" and params["entry"].get("level") == "error":
            self.errors.append(params["entry"].get("text"))

    def call(self, method, **params):
        self.next_id += 1
        self.socket.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.socket.recv())
            if message.get("id") == self.next_id:
                if "error" in message:
                    raise RuntimeError("%s: %s" % (method, message["error"]))
                return message.get("result", {})
            self._note(message)

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True, awaitPromise=True)
        if "exceptionDetails" in result:
            raise RuntimeError("%s: %s" % (expression, result["exceptionDetails"].get("text")))
        return result["result"].get("value")

    def open(self, url, prelude=""):
        """Loads url with prelude run before the page's own scripts."""
        if prelude:
            self.call("Page.addScriptToEvaluateOnNewDocument", source=prelude)
        self.call("Page.enable")
        self.call("Page.navigate", url=url)

    def wait_for(self, expression, seconds):
        """Polls expression until it is true (an error, as before the page
        has loaded, counts as false); None after the time given."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            value = self.evaluate("(() => { try { return %s; } catch (e) { return false; } })()" % expression)
            if value:
                return value
            time.sleep(0.25)
        return None

    def click(self, x, y):
        """A real click: it counts as the user's gesture."""
        for kind in ("mousePressed", "mouseReleased"):
            self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left", clickCount=1)

    def tap(self, x, y):
        """A finger down and up at a point, as a touch screen sends it."""
        self.call("Input.dispatchTouchEvent", type="touchStart", touchPoints=[{"x": x, "y": y}])
        self.call("Input.dispatchTouchEvent", type="touchEnd", touchPoints=[])

    def key(self, name, code):
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=name, code=name, windowsVirtualKeyCode=code)

    def close(self):
        with contextlib.suppress(Exception):
            self.socket.close()
        self.browser.terminate()
        with contextlib.suppress(subprocess.TimeoutExpired):
            self.browser.wait(10)
        shutil.rmtree(self.profile, ignore_errors=True)


def rect_of(page, selector):
    """An element's [left, top, width, height] in CSS pixels."""
    return page.evaluate("(() => { const r = document.querySelector(%r).getBoundingClientRect();"
                         " return [r.left, r.top, r.width, r.height]; })()" % selector)


def centre(rect):
    return rect[0] + rect[2] / 2, rect[1] + rect[3] / 2


def go_rect(dialog):
    """GO! is at 17, 129 (58 x 14) of the setup dialog's 151 x 151 units."""
    left, top, width, height = dialog
    return [left + 17 * width / 151, top + 129 * height / 151, 58 * width / 151, 14 * height / 151]


# The page hands its frames to window.sgFrames when there is one.
FRAME_COLLECTOR = "window.sgFrames = [];"


def frames_of(page):
    """The frames handed over so far (RGB rows bottom-up), taken."""
    frames = page.evaluate("""window.sgFrames.splice(0).map((f) => {
      let text = '';
      for (let i = 0; i < f.rgb.length; i += 0x8000) text += String.fromCharCode.apply(null, f.rgb.subarray(i, i + 0x8000));
      return {index: f.index, seconds: f.seconds, width: f.width, height: f.height, at: f.at, rgb: btoa(text)};
    })""") or []
    for frame in frames:
        frame["rgb"] = base64.b64decode(frame["rgb"])
    return frames
