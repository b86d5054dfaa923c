#!/usr/bin/python3
"""The lesson strip of the program's page in headless Chromium: its keys and buttons and the
`Lesson ...` trace lines they write, the focus they leave on the window's button, frame stepping
(stop and replay, shared C++, are tests/gui/lesson_test.cpp's), the controls' size on a tablet,
and the page with the strip hidden, remembered or not.

    /usr/bin/python3 tests/web/program_lesson_test.py BUILD_WEB/web/kepler-laws.html
"""

import sys
import time
import unittest

from harness import Browser, BrowserCase

PAGE = None  # set from the command line
START_UP_END = "Picture1 Circle 300 250 10 61695 -"  # start-up's last line: the Sun's last ring

# (key, code, keyCode, text, modifiers): as Browser.key takes them.
KEYS = {
    "P": ("p", "KeyP", 80, "p", 0), "B": ("b", "KeyB", 66, "b", 0),
    ".": (".", "Period", 190, ".", 0), "+": ("+", "Equal", 187, "+", 8),
    "=": ("=", "Equal", 187, "=", 0), "-": ("-", "Minus", 189, "-", 0),
    "S": ("s", "KeyS", 83, "s", 0), "R": ("r", "KeyR", 82, "r", 0),
    "H": ("h", "KeyH", 72, "h", 0), "Alt+S": ("s", "KeyS", 83, "", 1),
    "→": ("ArrowRight", "ArrowRight", 39, "", 0),
    "PageDown": ("PageDown", "PageDown", 34, "", 0), "PageUp": ("PageUp", "PageUp", 33, "", 0),
}


def press(browser, name, repeats=0):
    key, code, key_code, text, modifiers = KEYS[name]
    browser.key(key, code, key_code, text=text, modifiers=modifiers, repeats=repeats)


def open_page(browser, query="?trace&scale=1&clock=virtual"):
    browser.open(PAGE, query)
    browser.wait_for(f"window.keplerFirstFrame && window.keplerTrace.some(l => "
                     f"l.endsWith({START_UP_END!r}))", timeout=60)


def matching(line):
    """A JavaScript test of a trace line: it is `line`, or begins so if `line` ends in a blank."""
    test = "includes" if line.endswith(" ") else "endsWith"
    return f"l => l.{test}(' kepler.forms: ' + {line!r})"


def count(browser, line):
    return browser.value(f"window.keplerTrace.filter({matching(line)}).length")


def wait_count(browser, line, n, timeout=60):
    browser.wait_for(f"window.keplerTrace.filter({matching(line)}).length >= {n}",
                     timeout=timeout, poll=0.01)


def lesson_lines(browser):
    return [line for line in browser.lines() if line.startswith("Lesson ")]


def focused(browser):
    return browser.value("document.activeElement.dataset.control || document.activeElement.tagName")


def strip(browser):
    """The strip's buttons in order, by name: (rectangle, enabled); its state text, whether it
    shows, its tooltip."""
    result = browser.value("""(() => {
        const strip = document.querySelector(".kepler-strip");
        const buttons = [...strip.querySelectorAll("button")].map(b =>
            [b.getAttribute("aria-label"), b.getBoundingClientRect().toJSON(), !b.disabled]);
        const state = strip.querySelector("[aria-live]");
        return {buttons, state: state.textContent, live: state.getAttribute("aria-live"),
                shown: !strip.hidden, title: strip.title};
    })()""")
    result["names"] = [name for name, _, _ in result["buttons"]]
    result["buttons"] = {name: (r, enabled) for name, r, enabled in result["buttons"]}
    return result


class Keys(BrowserCase):

    def test_keys_write_their_lesson_lines_and_leave_the_focus_page_keys_move_it(self):
        b = self.browser
        open_page(b)
        # (key, its lines, the state text after it, the focused button after it)
        table = [
            ("P", ["Lesson Pause"], "一時停止中　×1", "Command1(0)"),
            ("B", ["Lesson Resume"], "再生中　×1", "Command1(0)"),
            ("+", ["Lesson Rate 2"], "再生中　×2", "Command1(0)"),
            ("+", [], None, "Command1(0)"),  # already the fastest
            (".", ["Lesson Pause"], "一時停止中　×2", "Command1(0)"),
            ("→", [], None, "Command1(0)"),  # paused, but no demonstration waits
            ("-", ["Lesson Rate 1"], "一時停止中　×1", "Command1(0)"),
            ("-", ["Lesson Rate 0.5"], None, "Command1(0)"),
            ("-", ["Lesson Rate 0.25"], None, "Command1(0)"),
            ("-", ["Lesson Rate 0.1"], "一時停止中　×1/10", "Command1(0)"),
            ("-", [], None, "Command1(0)"),  # already the slowest
            ("=", ["Lesson Rate 0.25"], "一時停止中　×1/4", "Command1(0)"),
            ("Alt+S", [], None, "Command1(0)"),
            ("S", ["Lesson Stop"], None, "Command1(0)"),
            ("R", ["Lesson Replay", "Lesson Resume"], "再生中　×1/4", "Command1(0)"),
            ("H", ["Lesson Strip Hidden"], None, "Command1(0)"),
            ("H", ["Lesson Strip Shown"], None, "Command1(0)"),
            ("PageDown", [], None, "Command1(1)"),
            ("PageDown", [], None, "Command1(2)"),
            ("PageUp", [], None, "Command1(1)"),
            ("PageUp", [], None, "Command1(0)"),
            ("PageUp", [], None, "Command3"),  # round to the last
            ("PageDown", [], None, "Command1(0)"),
        ]
        expected = []
        for key, new, state, focus in table:
            with self.subTest(key=key, lines=new):
                press(b, key)
                expected += new
                wait_count(b, "Lesson ", len(expected))
                self.assertEqual(focused(b), focus)
                if state:
                    self.assertEqual(strip(b)["state"], state)
                if "Strip" in "".join(new):
                    self.assertEqual(strip(b)["shown"], new[-1].endswith("Shown"))
        # A held key acts once; a key that wrote nothing above wrote nothing later either.
        press(b, "P", repeats=4)
        wait_count(b, "Lesson ", len(expected) + 1)
        time.sleep(0.3)
        self.assertEqual(lesson_lines(b), expected + ["Lesson Pause"])
        self.assertEqual([line for line in b.lines() if line.startswith("Form1 Click")], [])

    def test_a_step_plays_one_frame_only_while_paused_and_resumed_the_demonstration_ends_whole(self):
        b = self.browser
        open_page(b)
        b.run("document.querySelector('[data-control=\"Command1(5)\"]').click();")  # the comet
        wait_count(b, "Form1 Wait ", 20)
        press(b, "→")  # playing: not a step
        press(b, "P")
        wait_count(b, "Lesson Pause", 1)
        time.sleep(0.3)  # the frame that fell due with the pause, if one did, has played
        paused_at = count(b, "Form1 Wait ")
        for step in range(1, 4):
            press(b, "→")
            wait_count(b, "Form1 Wait ", paused_at + step)
            self.assertTrue(strip(b)["buttons"]["コマ送り"][1])
        time.sleep(0.3)
        self.assertEqual(count(b, "Form1 Wait "), paused_at + 3)
        press(b, "P")
        wait_count(b, "Form1 Return Command1(5)", 1)
        trace = b.lines()
        pause, resume = trace.index("Lesson Pause"), trace.index("Lesson Resume")
        self.assertNotIn("Lesson Step", trace[:pause])
        between = [line for line in trace[pause:resume] if line.startswith(("Lesson", "Form1 Wait"))]
        # A pause that comes as a wait ends lets the frame that fell due play.
        self.assertIn([line.split(" ")[1] for line in between],
                      [["Pause"] + ["Step", "Wait"] * 3, ["Pause", "Wait"] + ["Step", "Wait"] * 3])
        self.assertEqual(count(b, "Form1 Wait "), 501)  # every frame, once
        self.assertFalse(strip(b)["buttons"]["コマ送り"][1])


class Buttons(unittest.TestCase):
    """The strip on an iPad in landscape: a 1024 x 768 view, the window fitted to it."""

    def test_buttons_act_by_mouse_leave_the_focus_and_are_a_fingers_size(self):
        with Browser() as b:
            b.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 1024, "height": 768, "deviceScaleFactor": 1, "mobile": False})
            open_page(b, "?trace&clock=virtual")
            press(b, "PageDown")
            shown = strip(b)
            self.assertEqual(shown["live"], "polite")
            self.assertEqual(shown["state"], "再生中　×1")
            self.assertIn("PageDown", shown["title"])
            self.assertEqual(shown["names"],
                             ["一時停止", "コマ送り", "遅く", "速く", "停止", "もう一度", "面積速度",
                              "12等分", "隠す"])
            for name, (r, _) in shown["buttons"].items():
                self.assertGreaterEqual(min(r["width"], r["height"]), 44, name)
            window = b.value("document.querySelector('.kepler-window')"
                             ".getBoundingClientRect().toJSON()")
            self.assertLessEqual(window["bottom"], min(r["top"] for r, _ in
                                                       shown["buttons"].values()))
            table = [("一時停止", ["Lesson Pause"]), ("再開", ["Lesson Resume"]),
                     ("速く", ["Lesson Rate 2"]), ("遅く", ["Lesson Rate 1"]),
                     ("停止", ["Lesson Stop"]), ("もう一度", ["Lesson Replay"]),
                     ("面積速度", ["Lesson Sectors On"]), ("12等分", ["Lesson Sectors 24"]),
                     ("隠す", ["Lesson Strip Hidden"])]
            expected = []
            for name, new in table:
                with self.subTest(button=name):
                    r = strip(b)["buttons"][name][0]
                    b.click_at(r["x"] + r["width"] / 2, r["y"] + r["height"] / 2)
                    expected += new
                    wait_count(b, "Lesson ", len(expected))
                    self.assertEqual(focused(b), "Command1(1)")
                    now = strip(b)
                    if now["shown"]:  # the areas' read-out, once shown, leaves room for 隠す
                        self.assertLessEqual(max(r["right"] for r, _ in now["buttons"].values()),
                                             window["right"])
            self.assertEqual(lesson_lines(b), expected)
            self.assertFalse(strip(b)["shown"])


class Hidden(unittest.TestCase):

    FIT = ("(() => { const r = document.querySelector('.kepler-window').getBoundingClientRect();"
           " return [r.x, r.y, r.width, r.height, document.documentElement.clientWidth,"
           " document.documentElement.clientHeight]; })()")

    def settled_shot(self, b):
        b.run("return new Promise(done => requestAnimationFrame(() => "
              "requestAnimationFrame(done)));")
        return b.driver.get_screenshot_as_png()

    def test_hidden_the_page_is_the_window_alone_fitted_as_before_and_the_choice_is_kept(self):
        with Browser() as b:
            open_page(b, "?trace&clock=virtual")
            press(b, "H")
            wait_count(b, "Lesson Strip Hidden", 1)
            hidden_now = self.settled_shot(b)
            open_page(b, "?trace&clock=virtual")  # remembered: hidden from the start
            self.assertFalse(strip(b)["shown"])
            self.assertEqual(self.settled_shot(b), hidden_now)
            x, y, width, height, view_width, view_height = b.value(self.FIT)
            scale = min(view_width / 989, view_height / 577)
            for got, want in [(width, 989 * scale), (height, 577 * scale),
                              (x, (view_width - 989 * scale) / 2),
                              (y, (view_height - 577 * scale) / 2)]:
                self.assertAlmostEqual(got, want, delta=1)
            self.assertEqual([line for line in b.lines() if line.startswith("Lesson")], [])
            # A touch screen alone has no H key to show it again: it shows at every start there.
            b.driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled",
                                     {"enabled": True, "maxTouchPoints": 5})
            b.driver.execute_cdp_cmd("Emulation.setEmitTouchEventsForMouse", {"enabled": True})
            open_page(b, "?trace&clock=virtual")
            self.assertTrue(strip(b)["shown"])

    def test_without_local_storage_the_strip_shows_and_hides_all_the_same(self):
        with Browser() as b:
            b.driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": """
                Object.defineProperty(window, "localStorage", {
                    get() { throw new DOMException("refused", "SecurityError"); }});"""})
            open_page(b, "?trace&clock=virtual")
            self.assertTrue(strip(b)["shown"])
            press(b, "H")
            wait_count(b, "Lesson Strip Hidden", 1)
            self.assertFalse(strip(b)["shown"])
            self.assertEqual([line for line in b.console() if "rror" in line], [])


if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main(verbosity=2)
