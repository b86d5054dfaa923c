#!/usr/bin/python3
"""The program's page, from file:// and from a local web server, in the engine KEPLER_BROWSER
names (tests/web/harness.py): real buttons in Tab order with the desktop's faces and keys, the
focus kept on the last button, the start-up pixels and the hint, clicks nested in waits, the quit
box, the end and its restart link (whatever fragment the URL carries), the error box of a missing
file, the trace's format, fitting the view and no request. The program's own trace lines are the
expectations; tests/web/program_trace_test.py compares whole traces with the desktop's.

    /usr/bin/python3 tests/web/program_page_test.py BUILD_WEB/web/kepler-laws.html
"""

import functools
import http.server
import pathlib
import subprocess
import sys
import threading
import time
import unittest

from harness import Browser, BrowserCase

PAGE = None  # set from the command line

BUTTONS = [f"Command1({i})" for i in range(8)] + ["Command2", "Command3"]
CAPTIONS = ["　　 離心率 0.000", "地球 離心率 0.017", "火星 離心率 0.093", "水星 離心率 0.206",
            "　　 離心率 0.500", "ﾊﾚｰ彗星 離心率 0.967", "　地球と火星の運動　",
            "　内 惑 星 の 運 動　", "　ケプラーの法則　", "　お  わ  り  "]
SPOKEN = ["離心率0.000", "地球離心率0.017", "火星離心率0.093", "水星離心率0.206", "離心率0.500",
          "ﾊﾚｰ彗星離心率0.967", "地球と火星の運動", "内惑星の運動", "ケプラーの法則", "おわり"]
# The ink of each caption, from its first inked column to its last [px], as Chromium draws the
# page: the bold of the P gothic is drawn alike in every engine (WebKitGTK: within 1 px of these),
# and each is within 2 px of the desktop's (Xvfb, Qt on FreeType: 97, 134, 132, 133, 97, 158,
# 124, 115, 105, 59).
INK_WIDTHS = [97, 133, 133, 132, 97, 157, 124, 115, 105, 58]
FACE = (255, 255, 200)
WHITE, DARK, LIGHT, SHADOW = (255, 255, 255), (64, 64, 64), (212, 208, 200), (128, 128, 128)
ENTER = ("Enter", "Enter", 13)
SPACE = (" ", "Space", 32)
TAB = ("Tab", "Tab", 9)
# Command2 shows the laws picture over the drawing: its lines between Click and Return.
LAWS_PICTURE = ["Image1 Visible False", "Image2 Visible False", "Image3 Visible False",
                "Image4 Visible False", "Image3 Top 0", "Image3 Left 0",
                'Image3 Picture "kepler.bmp"', "Image3 Visible True"]


def open_page(browser, query="?trace&scale=1"):
    browser.open(PAGE, query)
    browser.wait_for("window.keplerFirstFrame", timeout=60)


def remove_file(browser, name):
    """Deletes one of the program's files from the page's file system: the next click that needs it
    takes the missing-file error path."""
    browser.run("Module.FS.unlink(arguments[0])", name)


def control(name):
    """The CSS selector of a control."""
    return f'[data-control="{name}"]'


def rect(browser, name=None, css=None):
    return browser.value(f"document.querySelector({css or control(name)!r})"
                         ".getBoundingClientRect().toJSON()")


def click_on(browser, name=None, css=None):
    """A mouse click in the middle of a control or of the element `css` selects."""
    r = rect(browser, name, css)
    browser.click_at(r["x"] + r["width"] / 2, r["y"] + r["height"] / 2)


def focus(browser, name):
    browser.run(f"document.querySelector({control(name)!r}).focus();")


def shown(browser, css):
    """Whether every element `css` selects is rendered and visible (False when none is)."""
    return browser.value(f"(all => all.length > 0 && all.every(e => e.checkVisibility("
                         f"{{visibilityProperty: true}})))"
                         f"([...document.querySelectorAll({css!r})])")


def text(browser, css):
    return browser.value(f"document.querySelector({css!r}).innerText")


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
        # Start-up ends with the Sun's last ring; the screenshot waits for its frame.
        wait_for_line(cls.browser, "Picture1 Circle 300 250 10 61695 -")
        cls.browser.run("return new Promise(done => requestAnimationFrame(() => "
                        "requestAnimationFrame(done)));")
        cls.shot = cls.browser.pixels()
        cls.focused_at_start = focused(cls.browser)

    @classmethod
    def tearDownClass(cls):
        cls.browser.close()

    def test_buttons_are_real_buttons_read_by_caption_visited_by_tab_from_the_first(self):
        b = self.browser
        buttons = b.value("[...document.querySelectorAll('.kepler-window button')]"
                          ".map(button => [button.dataset.control, button.firstChild.textContent])")
        self.assertEqual(buttons, [list(button) for button in zip(BUTTONS, CAPTIONS)])
        if b.name == "chromium":
            # Read by name, without the spaces that spread a caption out for the eye.
            self.assertEqual([button.accessible_name for button in b.driver.find_elements(
                "css selector", ".kepler-window button")], SPOKEN)
        focus(b, "Command1(0)")
        visited = []
        for _ in range(9):
            b.key(*TAB)
            visited.append(focused(b))
        self.assertEqual(visited, BUTTONS[1:])
        b.key(*TAB, modifiers=8)  # Shift
        self.assertEqual(focused(b), "Command2")

    def test_faces_are_flat_inside_the_desktops_bevel_and_a_focused_one_has_the_focus_mark(self):
        r = rect(self.browser, "Command1(3)")
        x0, y0, w, h = int(r["x"]), int(r["y"]), int(r["width"]), int(r["height"])
        self.assertEqual((x0, y0, w, h), (801, 191, 180, 50))
        px = lambda x, y: self.shot.pixel(x0 + x, y0 + y)
        for x, y in [(3, 3), (20, 10), (170, 40), (90, 4), (4, 25)]:
            self.assertEqual(px(x, y), FACE, (x, y))
        # The outer ring white and dark, the inner one light and shadow; the far corners dark.
        for (x, y), color in [((0, 0), WHITE), ((100, 0), WHITE), ((0, 30), WHITE),
                               ((w - 1, 0), DARK), ((0, h - 1), DARK), ((w - 1, h - 1), DARK),
                               ((1, 1), LIGHT), ((100, 1), LIGHT), ((w - 2, 1), SHADOW),
                               ((1, h - 2), SHADOW), ((100, h - 2), SHADOW), ((w - 2, 25), SHADOW)]:
            self.assertEqual(px(x, y), color, (x, y))
        # The lesson strip is the system's button face (its colours are the program's).
        strip = self.browser.value(
            "document.querySelector('.kepler-strip').getBoundingClientRect().toJSON()")
        self.assertEqual(self.shot.pixel(int(strip["x"]) + 2, int(strip["y"]) + 25), LIGHT)
        self.assertFocusMark(self.shot, "Command1(3)", marked=False)
        focus(self.browser, "Command1(3)")
        self.assertFocusMark(self.browser.pixels(), "Command1(3)")

    # The window gives Command1(0) the focus before it shows, while the page still hides it.
    def test_the_first_button_has_the_focus_and_its_mark_at_start(self):
        self.assertEqual(self.focused_at_start, "Command1(0)")
        self.assertFocusMark(self.shot, "Command1(0)")

    def assertFocusMark(self, shot, name, marked=True):
        """Dots two pixels long, two apart, four pixels in, in the caption's black; or none."""
        r = rect(self.browser, name)
        px = lambda x, y: shot.pixel(int(r["x"]) + x, int(r["y"]) + y)
        for x, y in [(4, 4), (5, 4), (8, 4), (4, 8), (175, 8), (8, 45)]:
            self.assertEqual(px(x, y), (0, 0, 0) if marked else FACE, (name, x, y))
        for x, y in [(6, 4), (7, 4), (4, 6), (10, 45)]:
            self.assertEqual(px(x, y), FACE, (name, x, y))

    def test_start_up_pixels_the_sun_the_surface_and_the_title_strip(self):
        # The Sun is filled out to its radius of 10 in yellow, on the blue surface.
        for dx, dy in [(0, 0), (9, 0), (0, -9), (-6, 6)]:
            self.assertEqual(self.shot.pixel(300 + dx, 41 + 250 + dy), (255, 240, 0), (dx, dy))
        for x, y in [(100, 41 + 100), (300 + 13, 41 + 250), (5, 41 + 495), (795, 45)]:
            self.assertEqual(self.shot.pixel(x, y), (128, 128, 255), (x, y))
        self.assertEqual(self.shot.pixel(5, 5), (255, 224, 192))
        self.assertEqual(self.shot.pixel(795, 5), (255, 224, 192))

    def test_hint_wraps_into_two_lines_inside_its_box_where_the_desktop_breaks_it(self):
        hint = self.browser.value("""(() => {
            const label = document.querySelector('[data-control="Label9"]');
            const range = document.createRange();
            range.selectNodeContents(label);
            const tops = new Set([...range.getClientRects()].map(r => Math.round(r.top)));
            // The first line: the characters whose box stands on the label's first line (the
            // last box of a character at the break is where it is drawn).
            const text = label.firstChild, first = [];
            for (let i = 0; i < text.length; ++i) {
              range.setStart(text, i);
              range.setEnd(text, i + 1);
              const boxes = range.getClientRects();
              if (Math.round(boxes[boxes.length - 1].top) == Math.min(...tops))
                first.push(text.data[i]);
            }
            range.selectNodeContents(label);
            return {lines: tops.size, first: first.join(""),
                    text: range.getBoundingClientRect().toJSON(),
                    box: label.getBoundingClientRect().toJSON()};
        })()""")
        self.assertEqual(hint["lines"], 2)
        self.assertEqual(hint["first"], "運動が止まってから他のボ")
        self.assertLessEqual(hint["text"]["bottom"], hint["box"]["bottom"])
        self.assertLessEqual(hint["text"]["right"], hint["box"]["right"] + 0.5)
        box = hint["box"]
        self.assertEqual((box["x"], box["y"], box["width"], box["height"]), (801, 0, 180, 40))

    def test_heavy_captions_are_as_wide_in_every_engine(self):
        # Each button's caption, inked from its first column to its last, within 1 px.
        widths = []
        for name in BUTTONS:
            r = rect(self.browser, name)
            x0, y0, w, h = int(r["x"]), int(r["y"]), int(r["width"]), int(r["height"])
            inked = [x for x in range(6, w - 6)
                     if any(self.shot.pixel(x0 + x, y0 + y) != FACE for y in range(6, h - 6))]
            widths.append(inked[-1] - inked[0] + 1 if inked else 0)
        for name, width, wanted in zip(BUTTONS, widths, INK_WIDTHS):
            self.assertLessEqual(abs(width - wanted), 1, (name, widths))

    def test_trace_lines_carry_milliseconds_with_three_decimals_in_order(self):
        trace = self.browser.trace()
        self.assertGreater(len(trace), 20)
        for line in trace:
            self.assertRegex(line, r"^\d+\.\d{3} kepler\.forms: \S")
        times = [float(line.split(" ", 1)[0]) for line in trace]
        self.assertEqual(times, sorted(times))


def axe_path():
    """axe-core's script, installed by scripts/deps.sh with npm."""
    root = subprocess.run(["npm", "root", "-g"], capture_output=True, text=True, check=True)
    return pathlib.Path(root.stdout.strip()) / "axe-core" / "axe.min.js"


class ScreenReader(BrowserCase):
    """What a screen reader gets: the tab's title, the live region's words after an orbit, a
    data demonstration and the laws picture, the drawing's name, and axe-core's verdict."""

    def listen(self):
        """Opens the page on the virtual clock and records every text of the live region."""
        b = self.browser
        b.open(PAGE, "?trace&scale=1&clock=virtual")
        b.wait_for("window.keplerFirstFrame", timeout=60)
        b.run("""window.heard = [];
                 const region = document.querySelector('.kepler-announce');
                 new MutationObserver(() => heard.push(region.textContent))
                     .observe(region, {childList: true, characterData: true, subtree: true});""")

    def play(self, name):
        click_on(self.browser, name)
        wait_for_line(self.browser, f"Form1 Return {name}", timeout=60)
        return self.browser.value("window.heard.splice(0)")

    def drawing_name(self):
        return self.browser.value("document.querySelector('canvas[role=\"img\"]')"
                                  ".getAttribute('aria-label')")

    def test_the_page_says_what_started_and_what_it_ended_with_not_every_frame(self):
        b = self.browser
        self.listen()
        self.assertEqual(b.value("document.title"), "ケプラーの法則")
        self.assertEqual(b.value("document.querySelector('.kepler-window').dataset.caption"),
                         "Form1")
        self.assertEqual(self.drawing_name(), "惑星の運動の図")
        self.assertEqual(self.play("Command1(1)"), [
            "「地球離心率0.017」が始まりました。",
            "「地球離心率0.017」が終わりました。 公転速度 9674.9 "
            "近日点速度/遠日点速度＝1倍 遠日点距離/近日点距離＝1倍"])
        self.assertEqual(self.play("Command1(7)"), [
            "「内惑星の運動」が始まりました。", "「内惑星の運動」が終わりました。 360日経過"])
        self.assertEqual(self.drawing_name(), "惑星の運動の図：「内惑星の運動」")
        # The laws picture runs no time: nothing is said, but the drawing is named after it.
        self.assertEqual(self.play("Command2"), [])
        self.assertEqual(self.drawing_name(), "惑星の運動の図：「ケプラーの法則」")
        # もう一度 (R) plays the demonstration started last, by its name.
        b.key("r", "KeyR", 82, text="r")
        b.wait_for("window.keplerTrace.filter(l => l.endsWith('Return Command1(7)')).length == 2",
                   timeout=60)
        self.assertEqual(b.value("window.heard.splice(0)"), [
            "「内惑星の運動」が始まりました。", "「内惑星の運動」が終わりました。 360日経過"])

    def test_every_canvas_is_made_for_reading_back(self):
        # WebKitGTK's accelerated canvas crashes now and then; a canvas made for reading is not
        # accelerated, in any engine.
        self.listen()
        self.play("Command2")  # the laws picture: an image's canvas too
        made = self.browser.value("""[...document.querySelectorAll("canvas"),
                                      Module.kepler.measure.canvas].map(canvas =>
            canvas.getContext("2d").getContextAttributes().willReadFrequently)""")
        self.assertEqual(made, [True] * len(made))
        self.assertGreaterEqual(len(made), 4)

    def test_axe_finds_nothing_serious_but_the_contrast_of_the_windows_own_colors(self):
        b = self.browser
        self.listen()
        self.play("Command1(4)")  # the read-outs hold text
        b.run(axe_path().read_text())
        result = b.run("""return axe.run(document, {resultTypes: ["violations"]})
                              .then(r => r.violations, e => String(e));""")
        self.assertIsInstance(result, list, result)
        serious = [v for v in result if v["impact"] in ("critical", "serious")]
        contrast = [v for v in serious if v["id"] == "color-contrast"]
        self.assertEqual([v["id"] for v in serious if v not in contrast], [],
                         [(v["id"], v["nodes"][0]["target"]) for v in serious])
        # The exception: the red hint and the read-outs on the drawing's blue, as designed.
        ratios = {}
        for node in (contrast[0]["nodes"] if contrast else []):
            label = b.run("return document.querySelector(arguments[0]).dataset.control;",
                          node["target"][0])
            ratios[label] = node["any"][0]["data"]["contrastRatio"]
        self.assertEqual(ratios, {"Label9": 2.6, "Label4": 3.25, "Label5": 3.25,
                                  "Label7": 3.25, "Label11": 3.25})


class Clicks(BrowserCase):
    """Keys, nesting, the boxes and the end; a fresh page for each case."""

    def clicks(self):
        return [line for line in self.browser.lines() if line.startswith("Form1 Click")]

    def test_enter_and_space_click_the_last_button_after_any_press_once_if_held_not_with_ctrl(self):
        b = self.browser
        open_page(b)
        click_on(b, "Command2")
        wait_for_line(b, "Form1 Return Command2")
        drawing, title = rect(b, "Picture1"), rect(b, "Label1")
        view = b.value("[document.documentElement.clientWidth, "
                       "document.documentElement.clientHeight]")
        spots = {"the drawing": (drawing["x"] + 150, drawing["y"] + 300),
                 "a label": (title["x"] + 20, title["y"] + 10),
                 "the margin beyond the window": (view[0] - 20, view[1] - 20)}
        for n, (spot, (x, y)) in enumerate(spots.items(), start=2):
            b.click_at(x, y)
            self.assertEqual(focused(b), "Command2", spot)
            b.key(*(ENTER if n % 2 else SPACE), text="\r" if n % 2 else " ")
            b.wait_for(f"window.keplerTrace.filter(l => l.endsWith('Return Command2')).length == {n}")
        b.key(*ENTER, text="\r", repeats=5)  # held: one click
        b.key(*SPACE, text=" ", repeats=5)  # held: one click, when released
        b.key(*ENTER, text="\r", modifiers=2)  # Ctrl+Enter: none
        b.wait_for("window.keplerTrace.filter(l => l.endsWith('Return Command2')).length == 6")
        time.sleep(0.3)
        self.assertEqual(self.clicks(), ["Form1 Click Command2"] * 6)

    def test_a_held_button_is_sunken_with_its_caption_one_pixel_down_and_right(self):
        b = self.browser
        open_page(b)
        r = rect(b, "Command2")
        middle = (r["x"] + r["width"] / 2, r["y"] + r["height"] / 2)
        up = b.pixels()
        b.mouse(*middle, "down")
        down = b.pixels()
        b.mouse(*middle, "up")
        wait_for_line(b, "Form1 Return Command2")
        x0, y0, w, h = 801, 441, 180, 50
        for (x, y), color in [((0, 0), SHADOW), ((100, 0), SHADOW), ((w - 1, 0), WHITE),
                               ((0, h - 1), WHITE), ((1, 1), DARK), ((w - 2, 1), LIGHT),
                               ((100, h - 2), LIGHT)]:
            self.assertEqual(down.pixel(x0 + x, y0 + y), color, (x, y))
        # WebKit blends the moved caption's edges up to a few levels apart now and then.
        moved = [(x, y) for x in range(6, w - 7) for y in range(6, h - 7)
                 if max(map(lambda a, b: abs(a - b), down.pixel(x0 + x + 1, y0 + y + 1),
                            up.pixel(x0 + x, y0 + y))) > 3]
        self.assertEqual(moved, [])
        inked = [(x, y) for x in range(6, w - 7) for y in range(6, h - 7)
                 if up.pixel(x0 + x, y0 + y) != FACE]
        self.assertTrue(inked and any(down.pixel(x0 + x, y0 + y) != up.pixel(x0 + x, y0 + y)
                                      for x, y in inked), "the caption did not move")

    def test_a_click_during_a_wait_runs_nested_and_returns_before_the_wait_goes_on(self):
        b = self.browser
        open_page(b)
        click_on(b, "Command1(0)")
        b.wait_for("window.keplerTrace.filter(l => l.endsWith('Form1 Wait 50')).length >= 3")
        click_on(b, "Command2")
        wait_for_line(b, "Form1 Return Command2")
        b.wait_for("(t => t.slice(t.findIndex(l => l.endsWith('Return Command2')))"
                   ".some(l => l.endsWith('Wait 50')))(window.keplerTrace)")
        trace = b.lines()
        click, back = trace.index("Form1 Click Command2"), trace.index("Form1 Return Command2")
        self.assertIn("Form1 Wait 50", trace[:click])
        self.assertEqual(trace[click + 1:back], LAWS_PICTURE)
        self.assertIn("Form1 Wait 50", trace[back:])
        self.assertNotIn("Form1 Return Command1(0)", trace)
        # The laws picture shows above the drawing, clipped to the surface.
        picture = rect(b, "Image3")
        self.assertEqual((picture["x"], picture["y"], picture["width"], picture["height"]),
                         (0, 41, 800, 500))
        self.assertEqual([line for line in b.console() if "rror" in line], [])
        self.assertEqual(b.requests(), [])

    def test_no_closes_the_box_and_changes_nothing_yes_ends(self):
        b = self.browser
        open_page(b)
        click_on(b, "Command3")
        box = b.wait_for("document.querySelector('dialog[open]')") and dialog(b)
        self.assertEqual(box, {"title": "確　　認", "text": "本当に終わりますか？",
                               "buttons": ["はい(Y)", "いいえ(N)"], "focused": "はい(Y)"})
        b.key("n", "KeyN", 78, text="n")
        wait_for_line(b, "Form1 Return Command3")
        self.assertIsNone(dialog(b))
        self.assertIn('Form1 MsgBox "本当に終わりますか？" 4 "確　　認" = 7', b.lines())
        self.assertTrue(shown(b, control("Command1(0)")))

        click_on(b, "Command3")
        b.wait_for("document.querySelector('dialog[open]')")
        b.key(*ENTER, text="\r")  # はい is the default
        b.wait_for("window.keplerExitCode === 0")
        self.assertEqual(b.lines()[-2:], [
            'Form1 MsgBox "本当に終わりますか？" 4 "確　　認" = 6', "Form1 End"])
        self.assertFalse(b.value("[...document.querySelectorAll('button')].some(button => "
                                 "button.checkVisibility({visibilityProperty: true}))"))
        self.assertEqual(text(b, ".kepler-ended p"), "プログラムを終了しました。")

    def test_the_restart_link_loads_the_page_again_whatever_fragment_its_url_carries(self):
        b = self.browser
        for query in ["#", "#lesson3", "?scale=1#top"]:
            with self.subTest(query=query):
                b.open_url("about:blank")  # from the page before, only the fragment would change
                b.open(PAGE, query)
                b.wait_for("window.keplerFirstFrame", timeout=60)
                click_on(b, "Command3")
                b.wait_for("document.querySelector('dialog[open]')")
                b.key("y", "KeyY", 89, text="y")
                b.wait_for("window.keplerExitCode === 0")
                b.run("window.beforeRestart = true;")
                click_on(b, css=".kepler-ended a")
                b.wait_for("window.beforeRestart === undefined && window.keplerFirstFrame",
                           timeout=60)
                self.assertTrue(shown(b, control("Command1(0)")))
                self.assertEqual(b.value("location.search"), query.split("#")[0])

    def test_a_removed_file_ends_through_the_error_box_naming_it_and_the_demonstration_too(self):
        b = self.browser
        open_page(b)
        remove_file(b, "kepler.bmp")
        console_before = len(b.console())
        click_on(b, "Command1(0)")
        b.wait_for("window.keplerTrace.some(l => l.endsWith('Form1 Wait 50'))")
        click_on(b, "Command2")  # runs inside a wait of Command1(0)
        b.wait_for("document.querySelector('dialog[open]')")
        box = dialog(b)
        self.assertEqual((box["title"], box["buttons"], box["focused"]),
                         ("実行時エラー", ["OK"], "OK"))
        self.assertIn("kepler.bmp", box["text"])
        b.key(*SPACE, text=" ")
        b.wait_for("window.keplerExitCode === 1")
        errors = [line for line in b.console()[console_before:] if "kepler-laws: " in line]
        self.assertEqual(len(errors), 1, errors)
        self.assertIn("kepler.bmp", errors[0])
        trace = b.lines()
        # The picture is not set: the lines before its load, then the error and the end.
        click = trace.index("Form1 Click Command2")
        self.assertEqual(trace[click:-2], ["Form1 Click Command2"] + LAWS_PICTURE[:6])
        self.assertTrue(trace[-2].startswith('Form1 Error "') and "kepler.bmp" in trace[-2],
                        trace[-2])
        self.assertEqual(trace[-1], "Form1 End")
        self.assertNotIn("Form1 Return Command1(0)", trace)
        time.sleep(0.3)
        self.assertEqual(b.lines(), trace, "something ran after the end")
        self.assertIsNone(dialog(b))
        self.assertEqual(text(b, ".kepler-ended p"), "プログラムを終了しました。")


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Fitting(unittest.TestCase):
    """The window fills the view, uniformly scaled and centred; clicks land on the buttons. And
    the page runs from a web server as from file://."""

    def test_served_over_http_it_runs_and_asks_for_nothing_more(self):
        page = pathlib.Path(PAGE).resolve()
        handler = functools.partial(QuietHandler, directory=str(page.parent))
        with http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler) as server:
            threading.Thread(target=server.serve_forever, daemon=True).start()
            try:
                with Browser() as b:
                    b.open_url(f"http://127.0.0.1:{server.server_port}/{page.name}?trace&scale=1")
                    b.wait_for("window.keplerFirstFrame", timeout=60)
                    click_on(b, "Command2")
                    wait_for_line(b, "Form1 Return Command2")
                    self.assertEqual(b.requests(), [])  # not even /favicon.ico
            finally:
                server.shutdown()

    def test_full_hd_view(self):
        with Browser(1920, 1080) as b:
            open_page(b, "?trace")
            view = b.value("[document.documentElement.clientWidth, "
                           "document.documentElement.clientHeight]")
            # The lesson strip lies below the window, fitted with it (program_lesson_test.py).
            strip = b.value("document.querySelector('.kepler-strip').offsetHeight")
            scale = min(view[0] / 989, view[1] / (577 + strip))
            form = b.value("document.querySelector('.kepler-window').getBoundingClientRect()"
                           ".toJSON()")
            self.assertAlmostEqual(form["width"], 989 * scale, delta=0.5)
            self.assertAlmostEqual(form["height"], 577 * scale, delta=0.5)
            self.assertAlmostEqual(form["x"], (view[0] - form["width"]) / 2, delta=1)
            self.assertAlmostEqual(form["y"], (view[1] - (577 + strip) * scale) / 2, delta=1)
            below = b.value("document.querySelector('.kepler-strip').getBoundingClientRect()"
                            ".toJSON()")
            self.assertAlmostEqual(below["y"], form["y"] + form["height"], delta=0.5)
            self.assertLessEqual(below["bottom"], view[1])
            shot = b.pixels()
            self.assertEqual(shot.pixel(1, 1), (224, 224, 224))
            self.assertEqual(shot.pixel(view[0] - 2, view[1] - 2), (224, 224, 224))
            button = rect(b, "Command2")
            self.assertAlmostEqual(button["width"], 180 * scale, delta=0.5)
            x, y = button["x"] + button["width"] * 0.9, button["y"] + button["height"] * 0.9
            self.assertEqual(shot.pixel(int(x), int(y)), FACE)
            b.click_at(int(x), int(y))
            wait_for_line(b, "Form1 Return Command2")


if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main(verbosity=2)
