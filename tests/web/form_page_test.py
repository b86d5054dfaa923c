#!/usr/bin/python3
"""The browser backend in headless Chromium, from file://, through the stand-in program's page
(web/demo/form_demo.cpp): real buttons in Tab order with the desktop's faces and keys, the
start-up pixels and texts, clicks nested in waits, the message boxes, the end and its restart
link, the error box, the virtual clock, the trace's format, fitting the view and no request.

    /usr/bin/python3 tests/web/form_page_test.py BUILD_WEB/web/form_demo.html
"""

import functools
import http.server
import pathlib
import sys
import threading
import time
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

from harness import Browser

PAGE = None  # set from the command line

BUTTONS = [f"Command1({i})" for i in range(8)] + ["Command2", "Command3"]
CAPTIONS = ["　　 離心率 0.000", "地球 離心率 0.017", "火星 離心率 0.093", "水星 離心率 0.206",
            "　　 離心率 0.500", "ﾊﾚｰ彗星 離心率 0.967", "　地球と火星の運動　",
            "　内 惑 星 の 運 動　", "　ケプラーの法則　", "　お  わ  り  "]
FACE = (255, 255, 200)
WHITE, DARK, LIGHT, SHADOW = (255, 255, 255), (64, 64, 64), (212, 208, 200), (128, 128, 128)
ENTER = ("Enter", "Enter", 13)
SPACE = (" ", "Space", 32)


def open_page(browser, query="?trace&scale=1"):
    browser.open(PAGE, query)
    browser.wait_for("window.keplerFirstFrame", timeout=60)


def control(browser, name):
    return browser.driver.find_element(By.CSS_SELECTOR, f'[data-control="{name}"]')


def rect(browser, name):
    return browser.run("return arguments[0].getBoundingClientRect().toJSON();",
                       control(browser, name))


def lines(browser):
    """The trace without its time stamps."""
    return [line.split(" kepler.forms: ", 1)[1] for line in browser.trace()]


def wait_for_line(browser, line, timeout=30):
    browser.wait_for(f"window.keplerTrace.some(l => l.endsWith(' kepler.forms: ' + {line!r}))",
                     timeout=timeout, poll=0.01)


def focused(browser):
    return browser.value("document.activeElement.dataset.control || document.activeElement.tagName")


def dialog(browser):
    """The open box: its title, its text and its buttons' captions; None when none is open."""
    return browser.value("""(() => {
        const box = document.querySelector("dialog[open]");
        return box && {title: box.querySelector(".kepler-box-title").textContent,
                       text: box.querySelector("p").textContent,
                       buttons: [...box.querySelectorAll("button")].map(b => b.textContent),
                       focused: document.activeElement.textContent};
    })()""")


class StartUp(unittest.TestCase):
    """The window as it first shows, at 1:1."""

    @classmethod
    def setUpClass(cls):
        cls.browser = Browser()
        open_page(cls.browser)
        cls.shot = cls.browser.pixels()

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()

    def test_buttons_are_real_buttons_read_by_caption_visited_by_tab_from_the_first(self):
        b = self.browser
        buttons = b.driver.find_elements(By.CSS_SELECTOR, "button")
        self.assertEqual([button.get_attribute("data-control") for button in buttons], BUTTONS)
        self.assertEqual([button.get_attribute("textContent") for button in buttons], CAPTIONS)
        self.assertIn("離心率 0.093", buttons[2].accessible_name)
        self.assertEqual(focused(b), "Command1(0)")
        visited = []
        for _ in range(9):
            ActionChains(b.driver).send_keys("\ue004").perform()  # Tab
            visited.append(focused(b))
        self.assertEqual(visited, BUTTONS[1:])
        ActionChains(b.driver).key_down("\ue008").send_keys("\ue004").key_up("\ue008").perform()
        self.assertEqual(focused(b), "Command2")

    def test_faces_are_flat_inside_the_desktops_bevel_and_the_first_has_the_focus_mark(self):
        r = rect(self.browser, "Command1(3)")
        x0, y0, w, h = int(r["x"]), int(r["y"]), int(r["width"]), int(r["height"])
        self.assertEqual((x0, y0, w, h), (801, 191, 180, 50))
        px = lambda x, y: self.shot.pixel(x0 + x, y0 + y)
        for x, y in [(3, 3), (20, 10), (170, 40), (90, 4), (4, 25)]:
            self.assertEqual(px(x, y), FACE, (x, y))
        # The outer ring white and dark, the inner one light and shadow; the far corners dark.
        for (x, y), colour in [((0, 0), WHITE), ((100, 0), WHITE), ((0, 30), WHITE),
                               ((w - 1, 0), DARK), ((0, h - 1), DARK), ((w - 1, h - 1), DARK),
                               ((1, 1), LIGHT), ((100, 1), LIGHT), ((w - 2, 1), SHADOW),
                               ((1, h - 2), SHADOW), ((100, h - 2), SHADOW), ((w - 2, 25), SHADOW)]:
            self.assertEqual(px(x, y), colour, (x, y))
        # The focused first button: dots two pixels long, two apart, four pixels in.
        first = lambda x, y: self.shot.pixel(801 + x, 41 + y)
        for x, y in [(4, 4), (5, 4), (8, 4), (4, 8), (175, 8), (8, 45)]:
            self.assertEqual(first(x, y), (0, 0, 0), (x, y))
        for x, y in [(6, 4), (7, 4), (4, 6), (10, 45)]:
            self.assertEqual(first(x, y), FACE, (x, y))

    def test_start_up_pixels_the_sun_the_surface_the_title_strip_and_the_hint(self):
        self.assertEqual(self.shot.pixel(300, 41 + 250), (255, 240, 0))  # the solid Sun
        self.assertEqual(self.shot.pixel(300 + 9, 41 + 250), (255, 240, 0))
        self.assertEqual(self.shot.pixel(100, 41 + 100), (128, 128, 255))
        self.assertEqual(self.shot.pixel(5, 5), (255, 224, 192))
        self.assertEqual(self.shot.pixel(979, 38), LIGHT)  # Label9's ground
        self.assertEqual(self.shot.pixel(850, 560), LIGHT)  # Label3, below おわり
        self.assertEqual(self.shot.pixel(950, 560), (224, 224, 224))

    def test_hint_wraps_into_two_lines_inside_its_box_and_auto_size_counts_a_trailing_blank(self):
        hint = self.browser.value("""(() => {
            const label = document.querySelector('[data-control="Label9"]');
            const range = document.createRange();
            range.selectNodeContents(label);
            const tops = new Set([...range.getClientRects()].map(r => Math.round(r.top)));
            return {lines: tops.size, text: range.getBoundingClientRect().toJSON(),
                    box: label.getBoundingClientRect().toJSON()};
        })()""")
        self.assertEqual(hint["lines"], 2)
        self.assertLessEqual(hint["text"]["bottom"], hint["box"]["bottom"])
        self.assertLessEqual(hint["text"]["right"], hint["box"]["right"] + 0.5)
        # "公転速度　" and "公転速度" in the bold 16-px gothic: the full-width blank is 16 px.
        with_blank, without = rect(self.browser, "Label4"), rect(self.browser, "Label5")
        self.assertEqual(with_blank["width"] - without["width"], 16)
        self.assertEqual(without["width"], 64)
        self.assertTrue(16 <= without["height"] <= 18, without)

    def test_trace_lines_carry_milliseconds_with_three_decimals_in_order(self):
        trace = self.browser.trace()
        self.assertGreater(len(trace), 20)
        for line in trace:
            self.assertRegex(line, r"^\d+\.\d{3} kepler\.forms: \S")
        times = [float(line.split(" ", 1)[0]) for line in trace]
        self.assertEqual(times, sorted(times))
        self.assertEqual(lines(self.browser)[:2], [
            'Label1 Caption "ケプラーの第１・第２法則による惑星の運動       Ver2.00"',
            'Label9 Caption "運動が止まってから他のボタンを選択してください"'])
        self.assertIn("Picture1 Circle 300 250 10 61695 -", lines(self.browser))


class Clicks(unittest.TestCase):
    """Keys, nesting, the boxes and the end; a fresh page for each case."""

    @classmethod
    def setUpClass(cls):
        cls.browser = Browser()

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()

    def clicks(self):
        return [line for line in lines(self.browser) if line.startswith("Form1 Click")]

    def test_space_and_enter_click_the_focused_button_once_and_not_while_held_or_with_ctrl(self):
        b = self.browser
        open_page(b)
        control(b, "Command2").click()
        wait_for_line(b, "Form1 Return Command2")
        b.key(*ENTER, text="\r")
        b.key(*SPACE, text=" ")
        b.wait_for("window.keplerTrace.filter(l => l.endsWith('Return Command2')).length == 3")
        b.key(*ENTER, text="\r", repeats=5)  # held: one click
        b.key(*SPACE, text=" ", repeats=5)  # held: one click, when released
        b.key(*ENTER, text="\r", modifiers=2)  # Ctrl+Enter: none
        time.sleep(0.3)
        self.assertEqual(self.clicks(), ["Form1 Click Command2"] * 5)

    def test_a_held_button_is_sunken_with_its_caption_one_pixel_down_and_right(self):
        b = self.browser
        open_page(b)
        button = control(b, "Command2")
        up = b.pixels()
        ActionChains(b.driver).move_to_element(button).click_and_hold().perform()
        down = b.pixels()
        ActionChains(b.driver).release().perform()
        wait_for_line(b, "Form1 Return Command2")
        x0, y0, w, h = 801, 441, 180, 50
        for (x, y), colour in [((0, 0), SHADOW), ((100, 0), SHADOW), ((w - 1, 0), WHITE),
                               ((0, h - 1), WHITE), ((1, 1), DARK), ((w - 2, 1), LIGHT),
                               ((100, h - 2), LIGHT)]:
            self.assertEqual(down.pixel(x0 + x, y0 + y), colour, (x, y))
        moved = [(x, y) for x in range(6, w - 7) for y in range(6, h - 7)
                 if down.pixel(x0 + x + 1, y0 + y + 1) != up.pixel(x0 + x, y0 + y)]
        self.assertEqual(moved, [])
        inked = [(x, y) for x in range(6, w - 7) for y in range(6, h - 7)
                 if up.pixel(x0 + x, y0 + y) != FACE]
        self.assertTrue(inked and any(down.pixel(x0 + x, y0 + y) != up.pixel(x0 + x, y0 + y)
                                      for x, y in inked), "the caption did not move")

    def test_a_click_during_a_wait_runs_nested_and_returns_before_the_wait_goes_on(self):
        b = self.browser
        open_page(b)
        control(b, "Command1(0)").click()
        b.wait_for("window.keplerTrace.filter(l => l.endsWith('Form1 Wait 50')).length >= 3")
        control(b, "Command2").click()
        wait_for_line(b, "Form1 Return Command2")
        b.wait_for("(t => t.slice(t.findIndex(l => l.endsWith('Return Command2')))"
                   ".some(l => l.endsWith('Wait 50')))(window.keplerTrace)")
        trace = lines(b)
        click, back = trace.index("Form1 Click Command2"), trace.index("Form1 Return Command2")
        self.assertIn("Form1 Wait 50", trace[:click])
        self.assertEqual(trace[click + 1:back], [
            "Image1 Visible False", 'Image3 Picture "kepler.bmp"', "Image3 Left 0",
            "Image3 Top 0", "Image3 Visible True"])
        self.assertIn("Form1 Wait 50", trace[back:])
        self.assertNotIn("Form1 Return Command1(0)", trace)
        # The laws picture shows above the drawing, clipped to the surface.
        picture = rect(b, "Image3")
        self.assertEqual((picture["x"], picture["y"], picture["width"], picture["height"]),
                         (0, 41, 800, 500))

    def test_no_closes_the_box_and_changes_nothing_yes_ends_and_the_link_starts_again(self):
        b = self.browser
        url = b.open(PAGE, "?trace&scale=1")
        b.wait_for("window.keplerFirstFrame", timeout=60)
        control(b, "Command3").click()
        box = b.wait_for("document.querySelector('dialog[open]')") and dialog(b)
        self.assertEqual(box, {"title": "確　　認", "text": "本当に終わりますか？",
                               "buttons": ["はい(Y)", "いいえ(N)"], "focused": "はい(Y)"})
        b.key("n", "KeyN", 78, text="n")
        wait_for_line(b, "Form1 Return Command3")
        self.assertIsNone(dialog(b))
        self.assertIn('Form1 MsgBox "本当に終わりますか？" 4 "確　　認" = 7', lines(b))
        self.assertTrue(control(b, "Command1(0)").is_displayed())

        control(b, "Command3").click()
        b.wait_for("document.querySelector('dialog[open]')")
        b.key(*ENTER, text="\r")  # はい is the default
        b.wait_for("window.keplerExitCode === 0")
        self.assertEqual(lines(b)[-2:], [
            'Form1 MsgBox "本当に終わりますか？" 4 "確　　認" = 6', "Form1 End"])
        self.assertFalse(any(button.is_displayed()
                             for button in b.driver.find_elements(By.TAG_NAME, "button")))
        ended = b.driver.find_element(By.CSS_SELECTOR, ".kepler-ended")
        self.assertEqual(ended.find_element(By.TAG_NAME, "p").text, "プログラムを終了しました。")
        link = ended.find_element(By.TAG_NAME, "a")
        self.assertEqual(link.get_attribute("href"), url)
        link.click()
        b.wait_for("window.keplerTrace && window.keplerTrace.length > 0 && "
                   "window.keplerExitCode === undefined", timeout=60)
        self.assertTrue(control(b, "Command1(0)").is_displayed())

    def test_a_file_gone_from_the_file_system_ends_through_the_error_box_even_when_nested(self):
        b = self.browser
        open_page(b)
        control(b, "Command1(0)").click()
        b.wait_for("window.keplerTrace.some(l => l.endsWith('Form1 Wait 50'))")
        b.run("Module.FS.unlink('kepler.bmp');")
        control(b, "Command2").click()  # runs inside a wait, after the stack was unwound
        b.wait_for("document.querySelector('dialog[open]')")
        box = dialog(b)
        self.assertEqual((box["title"], box["buttons"]), ("実行時エラー", ["OK"]))
        self.assertIn("kepler.bmp", box["text"])
        b.key(*SPACE, text=" ")
        b.wait_for("window.keplerExitCode === 1")
        errors = [line for line in b.console() if "kepler-laws: " in line]
        self.assertEqual(len(errors), 1, b.console())
        self.assertIn("kepler.bmp", errors[0])
        trace = lines(b)
        self.assertTrue(trace[-2].startswith('Form1 Error "') and "kepler.bmp" in trace[-2])
        self.assertEqual(trace[-1], "Form1 End")
        time.sleep(0.2)
        self.assertEqual(lines(b), trace, "the interrupted demonstration went on")

    def test_virtual_clock_plays_45_seconds_at_once_with_clicks_nested_up_to_the_cap(self):
        b = self.browser
        open_page(b, "?trace&scale=1&clock=virtual")
        # Both queued before either runs: Command2 runs inside the first wait of Command1(4).
        b.run("arguments[0].click(); arguments[1].click();", control(b, "Command1(4)"),
              control(b, "Command2"))
        wait_for_line(b, "Form1 Return Command1(4)", timeout=40)
        trace, stamps = lines(b), [float(line.split(" ")[0]) for line in b.trace()]
        self.assertEqual(trace.count("Form1 Wait 125"), 360)  # 45 s of waits
        click = trace.index("Form1 Click Command1(4)")
        self.assertLess(stamps[-1] - stamps[click], 45000, "a real clock takes 45 s")
        self.assertLess(trace.index("Form1 Return Command2"),
                        trace.index("Form1 Return Command1(4)"))
        # Twenty clicks at once: each runs nested in the wait of the one before, sixteen deep
        # at most; the rest are dropped.
        b.run("for (let i = 0; i < 20; ++i) arguments[0].click();", control(b, "Command1(7)"))
        b.wait_for("window.keplerTrace.filter(l => l.endsWith('Return Command1(7)')).length == 16",
                   timeout=60)
        time.sleep(0.2)
        self.assertEqual(lines(b).count("Form1 Click Command1(7)"), 16)
        # The body's picture lies on the drawing, its transparent corners showing the surface.
        body, shot = rect(b, "Image1"), b.pixels()
        x, y, w, h = (int(body[key]) for key in ("x", "y", "width", "height"))
        self.assertEqual((w, h), (30, 30))
        self.assertEqual(shot.pixel(x, y), (128, 128, 255))
        self.assertNotEqual(shot.pixel(x + w // 2, y + h // 2), (128, 128, 255))
        self.assertEqual([line for line in b.console() if "rror" in line], [])
        self.assertEqual(b.requests(), [])


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Fitting(unittest.TestCase):
    """The window fills the view, uniformly scaled and centred; clicks land on the buttons. And
    the page runs from a web server as from file://."""

    def check_view(self, width, height):
        with Browser(width, height) as b:
            open_page(b, "?trace")
            view = b.value("[document.documentElement.clientWidth, "
                           "document.documentElement.clientHeight]")
            scale = min(view[0] / 989, view[1] / 577)
            form = b.value("document.querySelector('.kepler-window').getBoundingClientRect()"
                           ".toJSON()")
            self.assertAlmostEqual(form["width"], 989 * scale, delta=0.5)
            self.assertAlmostEqual(form["height"], 577 * scale, delta=0.5)
            self.assertAlmostEqual(form["x"], (view[0] - form["width"]) / 2, delta=1)
            self.assertAlmostEqual(form["y"], (view[1] - form["height"]) / 2, delta=1)
            shot = b.pixels()
            self.assertEqual(shot.pixel(1, 1), (224, 224, 224))
            self.assertEqual(shot.pixel(view[0] - 2, view[1] - 2), (224, 224, 224))
            button = rect(b, "Command2")
            self.assertAlmostEqual(button["width"], 180 * scale, delta=0.5)
            x, y = button["x"] + button["width"] * 0.9, button["y"] + button["height"] * 0.9
            self.assertEqual(shot.pixel(int(x), int(y)), FACE)
            ActionChains(b.driver).move_by_offset(int(x), int(y)).click().perform()
            wait_for_line(b, "Form1 Return Command2")
            self.assertEqual(b.requests(), [])

    def test_served_over_http_it_runs_and_asks_for_nothing_more(self):
        page = pathlib.Path(PAGE).resolve()
        handler = functools.partial(QuietHandler, directory=str(page.parent))
        with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
            threading.Thread(target=server.serve_forever, daemon=True).start()
            try:
                with Browser() as b:
                    b.open_url(f"http://127.0.0.1:{server.server_port}/{page.name}?trace&scale=1")
                    b.wait_for("window.keplerFirstFrame", timeout=60)
                    control(b, "Command2").click()
                    wait_for_line(b, "Form1 Return Command2")
                    self.assertEqual(b.requests(), [])  # not even /favicon.ico
            finally:
                server.shutdown()

    def test_full_hd_view(self):
        self.check_view(1920, 1080)

    def test_laptop_view(self):
        self.check_view(1366, 768)


if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main(verbosity=2)
