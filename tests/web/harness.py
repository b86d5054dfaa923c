"""What the browser build's tests add to the browser driver (web/browser.py): the program's page
(its trace lines, its controls by name), a browser shared by a test class and a local web server.

    with Browser() as browser:
        browser.open_program("build-web/web/kepler-laws.html")
        browser.click_on("Command2")
        browser.wait_line("Form1 Return Command2")

Run with /usr/bin/python3 (Debian's selenium).
"""

import functools
import http.server
import pathlib
import sys
import threading
import unittest

sys.path.append(str(pathlib.Path(__file__).resolve().parents[2] / "web"))
from browser import ENGINE, ENGINES  # noqa: E402

BUTTONS = [f"Command1({i})" for i in range(8)] + ["Command2", "Command3"]  # in Tab order


def matching(line):
    """A JavaScript test of a trace line: it is `line`, or begins so if `line` ends in a blank."""
    test = "includes" if line.endswith(" ") else "endsWith"
    return f"l => l.{test}(' kepler.forms: ' + {line!r})"


class ProgramPage:
    """The program's page, on top of any engine."""

    def lines(self, prefix=""):
        """The trace's lines without their time stamps, those that begin with `prefix`."""
        return [line for line in (entry.split(" kepler.forms: ", 1)[1] for entry in self.trace())
                if line.startswith(prefix)]

    def open_program(self, page, query="?trace&scale=1"):
        """Opens the program's page and waits for its first frame."""
        self.open(page, query)
        self.wait_for("window.keplerFirstFrame", timeout=60)

    def wait_line(self, line, n=1, timeout=60, poll=0.01):
        """Waits until the trace holds `line` n times or more: lines that are `line`, or begin
        with it if it ends in a blank."""
        self.wait_for(f"window.keplerTrace.filter({matching(line)}).length >= {n}",
                      timeout=timeout, poll=poll)

    def focused(self):
        return self.value("document.activeElement.dataset.control || "
                          "document.activeElement.tagName")

    def rect(self, css):
        """The viewport rectangle of the element `css` selects, or of the control so named."""
        css = css if css[0] in ".[" else f'[data-control="{css}"]'
        return self.value(f"document.querySelector({css!r}).getBoundingClientRect().toJSON()")

    def box(self, css):
        """(x, y, width, height) of rect(css)."""
        return tuple(map(self.rect(css).get, ("x", "y", "width", "height")))

    def view(self):
        """The view's size without scroll bars: [width, height]."""
        return self.value("[document.documentElement.clientWidth, "
                          "document.documentElement.clientHeight]")

    def click_on(self, css):
        """A mouse click in the middle of a control or of the element `css` selects."""
        x, y, width, height = self.box(css)
        self.click_at(x + width / 2, y + height / 2)


def Browser(width=1280, height=800):
    """The engine that KEPLER_BROWSER names, with the program's page's helpers."""
    engine = ENGINES[ENGINE]
    return type(engine.__name__, (ProgramPage, engine), {})(width, height)


class BrowserCase(unittest.TestCase):
    """Test cases that share one browser, started before the first and closed after the last."""

    @classmethod
    def setUpClass(cls):
        cls.browser = cls.enterClassContext(Browser())


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    log_message = lambda self, *args: None  # noqa: E731


class Server:
    """A static server of one folder on 127.0.0.1, running from its making, started again on the
    same port after a stop (a service worker belongs to the origin, port included)."""

    def __init__(self, folder):
        self._handler = functools.partial(QuietHandler, directory=str(folder))
        self.port, self._server = 0, None
        self.start()

    def url(self, path=""):
        return f"http://127.0.0.1:{self.port}/{path}"

    def start(self):
        self._server = http.server.ThreadingHTTPServer(("127.0.0.1", self.port), self._handler)
        self.port = self._server.server_port
        threading.Thread(target=self._server.serve_forever, daemon=True).start()

    def stop(self):
        if self._server:
            self._server.shutdown()
            self._server.server_close()
            self._server = None
