"""The browser build's pages in a real browser engine: headless Chromium, WebKitGTK or Firefox
ESR, as the environment variable KEPLER_BROWSER names it (chromium, webkit, firefox; chromium
when unset). The benchmarks (web/bench/) drive it; the tests (tests/web/harness.py) add to it
what only they need.

Each engine starts with a fresh profile and the settings this kind of machine needs (no sandbox
as root, no background traffic), opens a page by file:// URL and reads what the page leaves
behind: window.keplerTrace, any other global, screenshots, the page's requests and console and
the browser's CPU time. It presses keys and the mouse as a user does. It knows nothing of the
program's controls.

  - Chromium: Debian's chromium through chromedriver; keys, mouse, the network log and the
    console through the DevTools protocol, which some tests also use directly (browser.driver).
  - WebKitGTK: its MiniBrowser through WebKitWebDriver, in a private Xvfb.
  - Firefox ESR: Debian's firefox-esr through puppeteer-core over WebDriver BiDi, which Node runs
    in firefox_bridge.js (scripts/deps.sh installs puppeteer-core with npm, globally).

    with Browser() as browser:
        browser.open("build-web/web/kepler-laws.html", "?trace&scale=1")
        browser.wait_for("window.keplerTrace && window.keplerTrace.length > 0")
        lines = browser.trace()
        assert browser.requests() == []

Run with /usr/bin/python3 (Debian's selenium).
"""

import atexit
import base64
import io
import json
import os
import pathlib
import shutil
import subprocess
import tempfile
import time

import PIL.Image

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.webkitgtk.service import Service as WebKitService

ENGINE = os.environ.get("KEPLER_BROWSER", "chromium")
HERE = pathlib.Path(__file__).resolve().parent

CHROMIUM = "/usr/bin/chromium"
CHROMEDRIVER = "/usr/bin/chromedriver"
WEBKITDRIVER = "/usr/bin/WebKitWebDriver"
FIREFOX = "/usr/bin/firefox-esr"

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


class Engine:
    """What every engine offers in terms of the few each one implements: open_url, run,
    screenshot_png, key, mouse, console, requests and close. Chromium and WebKitGTK run scripts
    and take screenshots through selenium's driver."""

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def open(self, path, query=""):
        """Opens a local file as file://PATH?QUERY and waits for its load event."""
        self.open_url(pathlib.Path(path).resolve().as_uri() + query)

    def run(self, script, *args):
        """Runs a JavaScript function body in the page and returns its value."""
        return self.driver.execute_script(script, *args)

    def value(self, expression):
        """The JSON-able value of a JavaScript expression in the page."""
        return self.run(f"return ({expression});")

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

    def console(self):
        """The page's console messages and uncaught errors so far."""
        self._console = getattr(self, "_console", []) + self._new_console()
        return list(self._console)

    def trace(self):
        """window.keplerTrace: the page's operation trace lines, as they are."""
        return self.value("window.keplerTrace || []")

    # --- screen, keys and mouse ---

    def next_frame(self):
        """Waits until the page has drawn its next frame."""
        self.run("return new Promise(done => requestAnimationFrame(() => "
                 "requestAnimationFrame(done)));")

    def screenshot_png(self):
        """A PNG of the viewport once the page has drawn its next frame (a WebKit view's
        snapshot shows the last frame drawn)."""
        self.next_frame()
        return self._png()

    def _png(self):
        return self.driver.get_screenshot_as_png()

    def pixels(self):
        """The viewport as it is now: pixels[x, y] -> (r, g, b)."""
        return PIL.Image.open(io.BytesIO(self.screenshot_png())).convert("RGB").load()

    def mouse(self, x, y, kind):
        """Presses ("down") or releases ("up") the left mouse button at (x, y) of the viewport."""
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(x), int(y))
        (actions.pointer_action.pointer_down if kind == "down"
         else actions.pointer_action.pointer_up)()
        actions.perform()

    def click_at(self, x, y):
        """Presses and releases the left mouse button at (x, y) of the viewport, as a mouse does."""
        self.mouse(x, y, "down")
        self.mouse(x, y, "up")

    def cpu_seconds(self):
        """User + system CPU time so far of every process that the driver (chromedriver,
        WebKitWebDriver, the Firefox bridge) started: all of the browser's [s]. Linux only; for
        benchmarks, never for timed tests."""
        parents, ticks = {}, {}
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/stat") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            parents[int(pid)] = int(fields[1])
            ticks[int(pid)] = int(fields[11]) + int(fields[12])  # utime, stime
        family, grown = {self._root_pid}, True
        while grown:
            more = {pid for pid, parent in parents.items() if parent in family} - family
            family |= more
            grown = bool(more)
        family.discard(self._root_pid)
        return sum(ticks.get(pid, 0) for pid in family) / os.sysconf("SC_CLK_TCK")


# Keys by their DOM name: (DOM code, Windows key code, WebDriver's value); a letter or digit is
# its own WebDriver value, with code KeyX or DigitN.
KEYS = {"Enter": ("Enter", 13, "\ue007"), "Tab": ("Tab", 9, "\ue004"), " ": ("Space", 32, " "),
        "PageUp": ("PageUp", 33, "\ue00e"), "PageDown": ("PageDown", 34, "\ue00f"),
        "ArrowRight": ("ArrowRight", 39, "\ue014"), ".": ("Period", 190, "."),
        "+": ("Equal", 187, "+"), "=": ("Equal", 187, "="), "-": ("Minus", 189, "-")}
# Alt, Ctrl, Meta, Shift
MODIFIER_KEYS = [(1, "\ue00a"), (2, "\ue009"), (4, "\ue03d"), (8, "\ue008")]


def key_names(key):
    """(DOM code, Windows key code, WebDriver's value) of a key by its DOM name."""
    if key in KEYS:
        return KEYS[key]
    return ("Digit" if key.isdigit() else "Key") + key.upper(), ord(key.upper()), key


def webdriver_key_actions(key, modifiers, repeats):
    """[("down" | "up", WebDriver key value)] for a key press with modifiers held; a key pressed
    again before its release is an auto-repeat to WebDriver."""
    held = [value for bit, value in MODIFIER_KEYS if modifiers & bit]
    value = key_names(key)[2]
    return ([("down", m) for m in held] + [("down", value)] * (1 + repeats) + [("up", value)]
            + [("up", m) for m in reversed(held)])


class Chromium(Engine):
    """One headless Chromium with one tab. Use as a context manager; it removes its profile."""

    name = "chromium"

    def __init__(self, width=1280, height=800):
        self._profile = tempfile.mkdtemp(prefix="kepler-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for flag in FLAGS + [f"--user-data-dir={self._profile}", f"--window-size={width},{height}"]:
            options.add_argument(flag)
        # The performance log carries the DevTools Network.* events of the page.
        options.set_capability("goog:loggingPrefs", {"performance": "ALL", "browser": "ALL"})
        self._page_url, self._requests = None, []
        try:
            self.driver = webdriver.Chrome(service=Service(CHROMEDRIVER), options=options)
        except Exception:
            shutil.rmtree(self._profile, ignore_errors=True)
            raise
        self._root_pid = self.driver.service.process.pid

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self._profile, ignore_errors=True)

    # --- the page ---

    def open_url(self, url):
        """Opens a page by its URL (a local server's) and waits for its load event."""
        self.requests()  # what the previous page did is not this page's
        self._page_url, self._requests = url, []
        self.driver.get(url)

    def key(self, key, modifiers=0, repeats=0):
        """Presses and releases a key (its DOM name) on the focused element through the DevTools
        protocol, as a keyboard does, typing its text unless Alt is held; `repeats` the
        auto-repeated key-downs while it is held; modifiers: 1 Alt, 2 Ctrl, 4 Meta, 8 Shift."""
        code, key_code, _ = key_names(key)
        text = "" if modifiers & 1 else "\r" if key == "Enter" else key if len(key) == 1 else ""
        event = {"key": key, "code": code, "windowsVirtualKeyCode": key_code,
                 "modifiers": modifiers}
        down = dict(event, type="keyDown", text=text) if text else dict(event, type="rawKeyDown")
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", down)
        for _ in range(repeats):
            self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(down, autoRepeat=True))
        self.driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(event, type="keyUp"))

    # --- logs ---

    def _new_console(self):  # each message is read once from the browser
        return [entry["message"] for entry in self.driver.get_log("browser")]

    def requests(self, include_page=False):
        """URLs of every request made for the page opened last (Network.requestWillBeSent whose
        document is that page), in order; the page's own file:// load left out unless
        include_page. Data and blob URLs count too: an offline page needs none of them either."""
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if (message["method"] == "Network.requestWillBeSent"
                    and message["params"].get("documentURL") == self._page_url):
                self._requests.append(message["params"]["request"]["url"])
        return [url for url in self._requests if include_page or url != self._page_url]


# WebKitGTK tells a WebDriver client neither the console nor the requests: the page's console
# methods and error events are copied into a list once it has loaded, and its requests are its
# Resource Timing entries (data: and blob: URLs are not among them).
CONSOLE_HOOK = """
if (!window.keplerConsoleCopy) {
  const copy = window.keplerConsoleCopy = [];
  for (const level of ["log", "info", "warn", "error", "debug"]) {
    const write = console[level].bind(console);
    console[level] = (...args) => { copy.push(args.map(String).join(" ")); write(...args); };
  }
  addEventListener("error", event => copy.push(`${event.message}`));
  addEventListener("unhandledrejection", event => copy.push(`Unhandled: ${event.reason}`));
}"""


class WebKit(Engine):
    """WebKitGTK's MiniBrowser with one view, in Xvfb. Its accelerated 2D canvas is off: with it,
    the web process of this machine's WebKitGTK now and then dies during a demonstration."""

    name = "webkit"
    MINIBROWSER = next(iter(sorted(pathlib.Path("/usr/lib").glob("*/webkit2gtk-4.*/MiniBrowser"))),
                       None)

    def __init__(self, width=1280, height=800):
        options = webdriver.WebKitGTKOptions()
        options.binary_location = str(self.MINIBROWSER)
        for argument in ["--automation", "--enable-accelerated-2d-canvas=false",
                         "--enable-2d-canvas-acceleration=false"]:
            options.add_argument(argument)
        options.overlay_scrollbars_enabled = True
        self._service = WebKitService(WEBKITDRIVER, env=dict(os.environ, DISPLAY=xvfb_display(),
                                                             GDK_SCALE="1", GDK_BACKEND="x11"))
        self._service.start()
        try:
            self.driver = webdriver.Remote(self._service.service_url, options=options)
            self._fit_viewport(width, height)
        except Exception:
            self._service.stop()
            raise
        self._root_pid = self._service.process.pid

    def _fit_viewport(self, width, height):
        """Sizes the window so that its view is width × height."""
        self.driver.set_window_size(width, height)
        inner = self.driver.execute_script("return [innerWidth, innerHeight];")
        self.driver.set_window_size(2 * width - inner[0], 2 * height - inner[1])

    def close(self):
        try:
            self.driver.quit()
        finally:
            self._service.stop()

    def open_url(self, url):
        self.console()  # what the page before left
        self.driver.get(url)
        self.driver.execute_script(CONSOLE_HOOK)

    def key(self, key, modifiers=0, repeats=0):
        """Presses and releases a key (its DOM name) through WebDriver's actions, `repeats` more
        key-downs while it is held; modifiers: 1 Alt, 2 Ctrl, 4 Meta, 8 Shift."""
        actions = ActionChains(self.driver)
        for kind, value in webdriver_key_actions(key, modifiers, repeats):
            (actions.key_down if kind == "down" else actions.key_up)(value)
        actions.perform()

    def _new_console(self):
        return self.driver.execute_script("return window.keplerConsoleCopy ? "
                                          "window.keplerConsoleCopy.splice(0) : [];") or []

    def requests(self, include_page=False):
        """URLs the page has requested since it loaded, as its Resource Timing lists them."""
        return self.value("performance.getEntriesByType('resource').map(entry => entry.name)")


_xvfb = []


def xvfb_display():
    """The display of this process's own Xvfb, started at first need and ended at exit."""
    if not _xvfb:
        read, write = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "2200x1400x24",
                                   "-nolisten", "tcp"], pass_fds=[write],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            number = f.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        _xvfb.append((server, f":{number}"))
        atexit.register(lambda: (server.terminate(), server.wait()))
    return _xvfb[0][1]


class Firefox(Engine):
    """Headless Firefox ESR with one tab, driven by firefox_bridge.js (puppeteer-core)."""

    name = "firefox"

    def __init__(self, width=1280, height=800):
        npm_root = subprocess.run(["npm", "root", "-g"], capture_output=True, text=True,
                                  check=True).stdout.strip()
        modules = os.pathsep.join(filter(None, [npm_root, os.environ.get("NODE_PATH")]))
        self._bridge = subprocess.Popen(
            ["node", str(HERE / "firefox_bridge.js"), FIREFOX, str(width), str(height)],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, encoding="utf-8",
            env=dict(os.environ, NODE_PATH=modules))
        self._root_pid = self._bridge.pid
        self._page_url = None
        try:
            self._answer("start")
        except Exception:
            self._bridge.kill()
            self._bridge.wait()
            raise

    def _answer(self, op):
        line = self._bridge.stdout.readline()
        if not line:
            raise RuntimeError(f"Firefox's bridge ended during {op!r}")
        reply = json.loads(line)
        if "error" in reply:
            raise RuntimeError(f"{op}: {reply['error']}")
        return reply["value"]

    def _call(self, op, **request):
        self._bridge.stdin.write(json.dumps(dict(request, op=op)) + "\n")
        self._bridge.stdin.flush()
        return self._answer(op)

    def close(self):
        try:
            self._call("close")
            self._bridge.stdin.close()
            self._bridge.wait(timeout=20)
        except (RuntimeError, OSError, subprocess.TimeoutExpired):
            self._bridge.kill()
            self._bridge.wait()

    def open_url(self, url):
        self._page_url = url
        self._call("open", url=url)

    def run(self, script, *args):
        return self._call("run", script=script, args=list(args))

    def _png(self):
        return base64.b64decode(self._call("screenshot"))

    def key(self, key, modifiers=0, repeats=0):
        """Presses and releases a key (its DOM name) through WebDriver BiDi's actions, `repeats`
        more key-downs while it is held; modifiers: 1 Alt, 2 Ctrl, 4 Meta, 8 Shift."""
        self._call("keys", actions=webdriver_key_actions(key, modifiers, repeats))

    def mouse(self, x, y, kind):
        self._call("mouse", actions=[["move", x, y], [kind]])

    def _new_console(self):
        return self._call("console")

    def requests(self, include_page=False):
        """URLs of every request since the page opened last, its own load left out unless
        include_page. Firefox loads even an empty data: icon that a page declares so as to ask
        for no /favicon.ico; such an icon is left out too."""
        icons = self.value("[...document.querySelectorAll('link[rel~=icon]')].map(l => l.href)")
        return [url for url in self._call("requests")
                if url not in icons and (include_page or url != self._page_url)]


ENGINES = {"chromium": Chromium, "webkit": WebKit, "firefox": Firefox}


def Browser(width=1280, height=800):
    """The engine that KEPLER_BROWSER names, with one tab whose view is width × height."""
    return ENGINES[ENGINE](width, height)
