"""Headless Chromium for the browser build's tests and benchmarks.

Starts Debian's chromium through chromedriver with a fresh profile and the flags this kind of
machine needs (no sandbox as root, no background traffic), opens a page by file:// URL and reads
what the page leaves behind: window.keplerTrace, any other global, screenshots, the page's
network log and the browser's CPU time. It knows nothing of the program's controls.

    with Browser() as browser:
        browser.open("build-web/page.html", "?trace&scale=1")
        browser.wait_for("window.keplerTrace && window.keplerTrace.length > 0")
        lines = browser.trace()
        assert browser.requests() == []

Run with /usr/bin/python3 (Debian's selenium).
"""

import json
import os
import pathlib
import shutil
import struct
import tempfile
import time
import unittest
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"

# Without these, Chromium reaches for Google's hosts at every start and this machine refuses them.
FLAGS = [
    "--headless=new",
    "--no-sandbox",
    "--disable-gpu",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-default-apps",
    "--disable-extensions",
    "--no-first-run",
    "--no-default-browser-check",
    "--hide-scrollbars",
    "--force-device-scale-factor=1",
]


class Browser:
    """One headless Chromium with one tab. Use as a context manager; it removes its profile."""

    def __init__(self, width=1280, height=800, extra_flags=()):
        self._profile = tempfile.mkdtemp(prefix="kepler-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in FLAGS + list(extra_flags):
            options.add_argument(flag)
        options.add_argument(f"--user-data-dir={self._profile}")
        options.add_argument(f"--window-size={width},{height}")
        # The performance log carries the DevTools Network.* events of the page.
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        self._page_url = None
        try:
            self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        except Exception:
            shutil.rmtree(self._profile, ignore_errors=True)
            raise
        self._network_events = []
        self._console = []

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self._profile, ignore_errors=True)

    # --- the page ---

    def open(self, path, query=""):
        """Opens a local file as file://PATH?QUERY and waits for its load event."""
        return self.open_url(pathlib.Path(path).resolve().as_uri() + query)

    def open_url(self, url):
        """Opens a page by its URL (a local server's) and waits for its load event."""
        self._page_url = url
        self._drain_network()  # what the previous page did is not this page's
        self._network_events = []
        self.driver.get(self._page_url)
        return self._page_url

    def run(self, script, *args):
        """Runs a JavaScript function body in the page and returns its value."""
        return self.driver.execute_script(script, *args)

    def value(self, expression):
        """The JSON-able value of a JavaScript expression in the page."""
        return self.driver.execute_script(f"return ({expression});")

    def wait_for(self, expression, timeout=30.0, poll=0.05):
        """Waits until a JavaScript expression is truthy and returns its value; raises
        TimeoutError with the page's console messages when it stays falsy."""
        deadline = time.monotonic() + timeout
        while True:
            result = self.value(expression)
            if result:
                return result
            if time.monotonic() > deadline:
                raise TimeoutError(f"{expression!r} still false after {timeout} s; "
                                   f"console: {self.console()}")
            time.sleep(poll)

    def trace(self):
        """window.keplerTrace: the page's operation trace lines, as they are."""
        return self.value("window.keplerTrace || []")

    def screenshot(self, path):
        """Saves a PNG of the viewport."""
        self.driver.save_screenshot(str(path))
        return path

    def pixels(self):
        """The viewport as it is now, as Pixels (pixel(x, y) -> (r, g, b))."""
        return Pixels(self.driver.get_screenshot_as_png())

    def key(self, key, code, key_code, *, text="", modifiers=0, repeats=0):
        """Presses and releases a key on the focused element through the DevTools protocol, as a
        keyboard does: `text` is what it types ("\\r" for Enter, " " for Space), `repeats` the
        auto-repeated key-downs while it is held; modifiers: 1 Alt, 2 Ctrl, 4 Meta, 8 Shift."""
        event = {"key": key, "code": code, "windowsVirtualKeyCode": key_code,
                 "modifiers": modifiers}
        down = dict(event, type="keyDown", text=text) if text else dict(event, type="rawKeyDown")
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", down)
        for _ in range(repeats):
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(down, autoRepeat=True))
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(event, type="keyUp"))

    def click_at(self, x, y):
        """Presses and releases the left mouse button at (x, y) of the viewport, as a mouse does."""
        for kind in ("mousePressed", "mouseReleased"):
            self.driver.execute_cdp_cmd("Input.dispatchMouseEvent", {
                "type": kind, "x": x, "y": y, "button": "left", "clickCount": 1})

    # --- logs ---

    def console(self):
        """The page's console messages so far (each read once from the browser)."""
        self._console += [entry["message"] for entry in self.driver.get_log("browser")]
        return list(self._console)

    def _drain_network(self):
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"].startswith("Network."):
                self._network_events.append(message)

    def requests(self, include_page=False):
        """URLs of every request made for the page opened last (Network.requestWillBeSent whose
        document is that page), in order; the page's own file:// load left out unless
        include_page. Data and blob URLs count too: an offline page needs none of them either."""
        self._drain_network()
        urls = [event["params"]["request"]["url"] for event in self._network_events
                if event["method"] == "Network.requestWillBeSent"
                and event["params"].get("documentURL") == self._page_url]
        if not include_page:
            urls = [url for url in urls if url != self._page_url]
        return urls

    # --- the machine ---

    def cpu_seconds(self):
        """User + system CPU time of every Chromium process of this browser so far [s]. Linux
        only; for benchmarks, never for timed tests."""
        ticks = 0
        for pid in os.listdir("/proc"):
            if not pid.isdigit():
                continue
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    if self._profile.encode() not in f.read():
                        continue
                with open(f"/proc/{pid}/stat") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            ticks += int(fields[11]) + int(fields[12])  # utime, stime
        return ticks / os.sysconf("SC_CLK_TCK")


class BrowserCase(unittest.TestCase):
    """Test cases that share one browser, started before the first and closed after the last."""

    @classmethod
    def setUpClass(cls):
        cls.browser = Browser()

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()


class Pixels:
    """A decoded PNG screenshot (8-bit RGB or RGBA, not interlaced, as Chromium writes them)."""

    def __init__(self, png):
        if png[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError("not a PNG")
        at, idat = 8, b""
        while at < len(png):
            length, kind = struct.unpack(">I4s", png[at:at + 8])
            body = png[at + 8:at + 8 + length]
            if kind == b"IHDR":
                self.width, self.height, depth, colour, _, _, interlace = struct.unpack(
                    ">IIBBBBB", body)
                if depth != 8 or colour not in (2, 6) or interlace:
                    raise ValueError(f"unsupported PNG: depth {depth}, colour type {colour}")
                self._channels = 3 if colour == 2 else 4
            elif kind == b"IDAT":
                idat += body
            at += 12 + length
        raw = zlib.decompress(idat)
        stride = self.width * self._channels
        rows, previous = [], bytearray(stride)
        for y in range(self.height):
            start = y * (stride + 1)
            kind, line = raw[start], bytearray(raw[start + 1:start + 1 + stride])
            for i in range(stride):
                left = line[i - self._channels] if i >= self._channels else 0
                up = previous[i]
                upper_left = previous[i - self._channels] if i >= self._channels else 0
                if kind == 1:
                    line[i] = (line[i] + left) & 0xFF
                elif kind == 2:
                    line[i] = (line[i] + up) & 0xFF
                elif kind == 3:
                    line[i] = (line[i] + (left + up) // 2) & 0xFF
                elif kind == 4:
                    p = left + up - upper_left
                    pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
                    predictor = left if pa <= pb and pa <= pc else up if pb <= pc else upper_left
                    line[i] = (line[i] + predictor) & 0xFF
            rows.append(bytes(line))
            previous = line
        self._rows = rows

    def pixel(self, x, y):
        at = x * self._channels
        return tuple(self._rows[y][at:at + 3])
