#!/usr/bin/python3
"""The lesson strip of the program's page in headless Chromium: its keys and buttons and the
`Lesson ...` trace lines they write, the focus they leave on the window's button, the arrow that
steps a frame (what a step plays, stop and replay, shared C++, are tests/gui/lesson_test.cpp's),
the controls' size on a tablet, and the page with the strip hidden, remembered or not.

    /usr/bin/python3 tests/web/program_lesson_test.py BUILD_WEB/web/kepler-laws.html
"""

import sys
import time
import unittest

from harness import Browser, BrowserCase

PAGE = None  # set from the command line


def open_page(browser, query="?trace&scale=1&clock=virtual"):
    browser.open_program(PAGE, query)
    browser.wait_line("Picture1 Circle 300 250 10 61695 -")  # start-up's last line


def strip(browser):
    """The strip's buttons by name: (rectangle, enabled), in order; its state text, whether it
    shows, its tooltip."""
    result = browser.value("""(() => {
        const strip = document.querySelector(".kepler-strip");
        const buttons = [...strip.querySelectorAll("button")].map(b =>
            [b.getAttribute("aria-label"), b.getBoundingClientRect().toJSON(), !b.disabled]);
        const state = strip.querySelector("[aria-live]");
        return {buttons, state: state.textContent, live: state.getAttribute("aria-live"),
                shown: !strip.hidden, title: strip.title};
    })()""")
    # In order: a JSON object's keys come back sorted.
    result["buttons"] = {name: (r, enabled) for name, r, enabled in result["buttons"]}
    return result


class Keys(BrowserCase):

    def test_keys_write_their_lesson_lines_leave_the_focus_page_keys_move_it_arrow_steps(self):
        b = self.browser
        open_page(b)
        # (key, modifiers, its lines, the state text after it)
        table = [
            ("p", 0, ["Lesson Pause"], "一時停止中　×1"),
            ("b", 0, ["Lesson Resume"], "再生中　×1"),
            ("+", 8, ["Lesson Rate 2"], "再生中　×2"),
            ("+", 8, [], None),  # already the fastest
            (".", 0, ["Lesson Pause"], "一時停止中　×2"),
            ("ArrowRight", 0, [], None),  # paused, but no demonstration waits
            ("-", 0, ["Lesson Rate 1"], "一時停止中　×1"),
            ("-", 0, ["Lesson Rate 0.5"], "一時停止中　×1/2"),
            ("-", 0, ["Lesson Rate 0.25"], None),
            ("-", 0, ["Lesson Rate 0.1"], "一時停止中　×1/10"),
            ("-", 0, [], None),  # already the slowest
            ("=", 0, ["Lesson Rate 0.25"], "一時停止中　×1/4"),
            ("s", 1, [], None),  # Alt+S
            ("s", 0, ["Lesson Stop"], None),
            ("r", 0, ["Lesson Replay", "Lesson Resume"], "再生中　×1/4"),
            ("h", 0, ["Lesson Strip Hidden"], None),
            ("h", 0, ["Lesson Strip Shown"], None),
        ]
        expected = []
        for key, modifiers, new, state in table:
            with self.subTest(key=key, lines=new):
                b.key(key, modifiers)
                expected += new
                b.wait_line("Lesson ", len(expected))
                self.assertEqual(b.focused(), "Command1(0)")
                now = strip(b)
                # コマ送り is enabled while paused.
                self.assertEqual((now["state"], now["shown"], now["buttons"]["コマ送り"][1]),
                                 (state or now["state"], "Lesson Strip Hidden" not in new,
                                  now["state"].startswith("一時停止")))
        # A held key acts once; a key that wrote nothing above wrote nothing later either.
        b.key("p", repeats=4)
        b.wait_line("Lesson ", len(expected) + 1)
        time.sleep(0.3)
        self.assertEqual(b.lines("Lesson "), expected + ["Lesson Pause"])
        self.assertEqual(b.lines("Form1 Click"), [])
        for key, focus in [("PageDown", "Command1(1)"), ("PageUp", "Command1(0)"),
                           ("PageUp", "Command3"), ("PageDown", "Command1(0)")]:  # round
            b.key(key)
            self.assertEqual(b.focused(), focus, key)
        # Paused, the arrow steps a demonstration: its wait wakes and the next one comes. (What a
        # step plays, and when there is nothing to step, is the shared lesson's.)
        b.run("document.querySelector('[data-control=\"Command1(5)\"]').click();")  # the comet
        b.wait_line("Form1 Wait ")
        waits = len(b.lines("Form1 Wait "))
        b.key("ArrowRight")
        b.wait_line("Form1 Wait ", waits + 1)
        self.assertEqual(b.lines("Lesson ")[-1], "Lesson Step")


class Buttons(unittest.TestCase):
    """The strip on an iPad in landscape: a 1024 x 768 view, the window fitted to it."""

    def test_buttons_act_by_mouse_leave_the_focus_and_are_a_fingers_size(self):
        with Browser() as b:
            b.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": 1024, "height": 768, "deviceScaleFactor": 1, "mobile": False})
            open_page(b, "?trace&clock=virtual")
            b.key("PageDown")
            shown = strip(b)
            self.assertEqual((shown["live"], shown["state"]), ("polite", "再生中　×1"))
            self.assertIn("PageDown", shown["title"])
            self.assertEqual(list(shown["buttons"]), ["一時停止", "コマ送り", "遅く", "速く", "停止",
                                                      "もう一度", "面積速度", "12等分", "隠す"])
            for name, (r, _) in shown["buttons"].items():
                self.assertGreaterEqual(min(r["width"], r["height"]), 44, name)
            window = b.rect(".kepler-window")
            self.assertLessEqual(window["bottom"], min(r["top"] for r, _ in
                                                       shown["buttons"].values()))
            table = [("一時停止", "Pause"), ("再開", "Resume"), ("速く", "Rate 2"),
                     ("遅く", "Rate 1"), ("停止", "Stop"), ("もう一度", "Replay"),
                     ("面積速度", "Sectors On"), ("12等分", "Sectors 24"),
                     ("隠す", "Strip Hidden")]
            for n, (name, line) in enumerate(table, start=1):
                with self.subTest(button=name):
                    b.click_on(f'.kepler-strip [aria-label="{name}"]')
                    b.wait_line("Lesson ", n)
                    self.assertEqual(b.focused(), "Command1(1)")
                    now = strip(b)
                    if now["shown"]:  # the areas' read-out, once shown, leaves room for 隠す
                        self.assertLessEqual(max(r["right"] for r, _ in now["buttons"].values()),
                                             window["right"])
            self.assertEqual(b.lines("Lesson "), ["Lesson " + line for _, line in table])
            self.assertFalse(strip(b)["shown"])


class Hidden(unittest.TestCase):

    def test_hidden_the_page_is_the_window_alone_fitted_the_choice_kept_where_it_can_be(self):
        with Browser() as b:
            open_page(b, "?trace&clock=virtual")
            b.key("h")
            b.wait_line("Lesson Strip Hidden")
            hidden_now = b.screenshot_png()
            open_page(b, "?trace&clock=virtual")  # remembered: hidden from the start
            self.assertFalse(strip(b)["shown"])
            self.assertEqual(b.screenshot_png(), hidden_now)
            view_width, view_height = b.view()
            scale = min(view_width / 989, view_height / 577)
            for got, want in zip(b.box(".kepler-window"), [(view_width - 989 * scale) / 2,
                                 (view_height - 577 * scale) / 2, 989 * scale, 577 * scale]):
                self.assertAlmostEqual(got, want, delta=1)
            self.assertEqual(b.lines("Lesson "), [])
            # Without localStorage, nothing is remembered: the strip shows, and hides all the same.
            cdp = b.driver.execute_cdp_cmd
            refusal = cdp("Page.addScriptToEvaluateOnNewDocument", {"source": """
                Object.defineProperty(window, "localStorage", {
                    get() { throw new DOMException("refused", "SecurityError"); }});"""})
            open_page(b, "?trace&clock=virtual")
            self.assertTrue(strip(b)["shown"])
            b.key("h")
            b.wait_line("Lesson Strip Hidden")
            self.assertFalse(strip(b)["shown"])
            self.assertEqual([line for line in b.console() if "rror" in line], [])
            cdp("Page.removeScriptToEvaluateOnNewDocument", refusal)
            # A touch screen alone has no H key to show it again: it shows at every start there.
            cdp("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
            cdp("Emulation.setEmitTouchEventsForMouse", {"enabled": True})
            open_page(b, "?trace&clock=virtual")
            self.assertTrue(strip(b)["shown"])


if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main(verbosity=2)
