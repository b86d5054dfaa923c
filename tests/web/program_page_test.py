#!/usr/bin/python3
"""The program's page, from file:// and from a local web server, in the engine KEPLER_BROWSER
names (tests/web/harness.py): real buttons in Tab order with the desktop's faces and keys, the
focus kept on the last button, the start-up pixels and the hint, clicks nested in waits, the quit
box, the end and its restart link (whatever fragment the URL carries), the error box of a missing
file, fitting the view, no request and what a screen reader gets. The program's own trace lines
are the expectations; tests/web/program_trace_test.py compares whole traces with the desktop's.

    /usr/bin/python3 tests/web/program_page_test.py BUILD_WEB/web/kepler-laws.html
"""

import pathlib
import re
import subprocess
import sys
import time
import unittest

from harness import BUTTONS, Browser, BrowserCase, Server

PAGE = None  # set from the command line

CAPTIONS = ["　　 離心率 0.000", "地球 離心率 0.017", "火星 離心率 0.093", "水星 離心率 0.206",
            "　　 離心率 0.500", "ﾊﾚｰ彗星 離心率 0.967", "　地球と火星の運動　",
            "　内 惑 星 の 運 動　", "　ケプラーの法則　", "　お  わ  り  "]
# The ink of each caption, from its first inked column to its last [px], as Chromium draws the
# page: the bold of the P gothic is drawn alike in every engine (WebKitGTK: within 1 px of these),
# and each is within 2 px of the desktop's (Xvfb, Qt on FreeType: 97, 134, 132, 133, 97, 158,
# 124, 115, 105, 59).
INK_WIDTHS = [97, 133, 133, 132, 97, 157, 124, 115, 105, 58]
FACE = (255, 255, 200)
WHITE, DARK, LIGHT, SHADOW = (255, 255, 255), (64, 64, 64), (212, 208, 200), (128, 128, 128)
QUIT_BOX = {"title": "確　　認", "text": "本当に終わりますか？", "buttons": ["はい(Y)", "いいえ(N)"],
            "focused": "はい(Y)"}
ENDED = "プログラムを終了しました。"
DRAWING_NAME = "document.querySelector('canvas[role=\"img\"]').getAttribute('aria-label')"


def visible(browser, css):
    """Whether any element that `css` selects is rendered and visible."""
    return browser.value(f"[...document.querySelectorAll({css!r})]"
                         ".some(e => e.checkVisibility({visibilityProperty: true}))")


def dialog(browser):
    """The open box: its title, its text and its buttons' captions; None when none is open."""
    return browser.value("""(() => {
        const box = document.querySelector("dialog[open]");
        return box && {title: box.querySelector(".kepler-box-title").textContent,
                       text: box.querySelector("p").textContent,
                       buttons: [...box.querySelectorAll("button")].map(b => b.textContent),
                       focused: document.activeElement.textContent};
    })()""")


class StartUp(BrowserCase):
    """The window as it first shows, at 1:1."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.browser.open_program(PAGE)
        # Start-up ends with the Sun's last ring; the screenshot waits for its frame.
        cls.browser.wait_line("Picture1 Circle 300 250 10 61695 -")
        cls.shot = cls.browser.pixels()
        cls.focused_at_start = cls.browser.focused()

    def test_buttons_are_real_buttons_read_by_caption_visited_by_tab_from_the_first(self):
        b = self.browser
        buttons = b.value("[...document.querySelectorAll('.kepler-window button')]"
                          ".map(button => [button.dataset.control, button.firstChild.textContent])")
        self.assertEqual(buttons, [list(button) for button in zip(BUTTONS, CAPTIONS)])
        if b.name == "chromium":
            # Read by name, without the spaces that spread a caption out for the eye.
            self.assertEqual([button.accessible_name for button in b.driver.find_elements(
                "css selector", ".kepler-window button")],
                [re.sub("[ 　]", "", caption) for caption in CAPTIONS])
        b.run("document.querySelector('[data-control=\"Command1(0)\"]').focus();")
        self.assertEqual([(b.key("Tab"), b.focused())[1] for _ in range(9)], BUTTONS[1:])
        b.key("Tab", modifiers=8)  # Shift
        self.assertEqual(b.focused(), "Command2")

    # The window gives Command1(0) the focus before it shows, while the page still hides it.
    def test_faces_are_flat_inside_the_desktops_bevel_the_focused_one_has_the_focus_mark(self):
        x0, y0, w, h = box = self.browser.box("Command1(3)")
        self.assertEqual(box, (801, 191, 180, 50))
        # Inside flat; the outer ring white and dark, the inner one light and shadow; the far
        # corners dark.
        for (x, y), color in [((3, 3), FACE), ((20, 10), FACE), ((170, 40), FACE), ((90, 4), FACE),
                               ((4, 25), FACE), ((0, 0), WHITE), ((100, 0), WHITE), ((0, 30), WHITE),
                               ((w - 1, 0), DARK), ((0, h - 1), DARK), ((w - 1, h - 1), DARK),
                               ((1, 1), LIGHT), ((100, 1), LIGHT), ((w - 2, 1), SHADOW),
                               ((1, h - 2), SHADOW), ((100, h - 2), SHADOW), ((w - 2, 25), SHADOW)]:
            self.assertEqual(self.shot[x0 + x, y0 + y], color, (x, y))
        # The lesson strip is the system's button face (its colours are the program's).
        strip = self.browser.rect(".kepler-strip")
        self.assertEqual(self.shot[int(strip["x"]) + 2, int(strip["y"]) + 25], LIGHT)
        # The focus mark: dots two pixels long, two apart, four pixels in, in the caption's black.
        self.assertEqual(self.focused_at_start, "Command1(0)")
        for name, marked in [("Command1(0)", True), ("Command1(3)", False)]:
            x1, y1, _, _ = map(int, self.browser.box(name))
            for x, y, dot in [(4, 4, 1), (5, 4, 1), (8, 4, 1), (4, 8, 1), (175, 8, 1), (8, 45, 1),
                              (6, 4, 0), (7, 4, 0), (4, 6, 0), (10, 45, 0)]:
                self.assertEqual(self.shot[x1 + x, y1 + y],
                                 (0, 0, 0) if marked and dot else FACE, (name, x, y))

    def test_start_up_pixels_the_sun_the_surface_and_the_title_strip(self):
        # The Sun is filled out to its radius of 10 in yellow, on the blue surface.
        for dx, dy in [(0, 0), (9, 0), (0, -9), (-6, 6)]:
            self.assertEqual(self.shot[300 + dx, 41 + 250 + dy], (255, 240, 0), (dx, dy))
        for x, y in [(100, 41 + 100), (300 + 13, 41 + 250), (5, 41 + 495), (795, 45)]:
            self.assertEqual(self.shot[x, y], (128, 128, 255), (x, y))
        self.assertEqual((self.shot[5, 5], self.shot[795, 5]), ((255, 224, 192),) * 2)

    def test_hint_wraps_into_two_lines_inside_its_box_where_the_desktop_breaks_it(self):
        # The line of a character is where its last box stands (a character at the break has
        # one on each line): the break falls after 「…他のボ」, the 12th.
        hint = self.browser.value("""(() => {
            const label = document.querySelector('[data-control="Label9"]');
            const text = label.firstChild, range = document.createRange();
            const top = i => (range.setStart(text, i), range.setEnd(text, i + 1),
                              Math.round([...range.getClientRects()].pop().top));
            const tops = [0, 11, 12, text.length - 1].map(top);
            range.selectNodeContents(label);
            return {tops, text: range.getBoundingClientRect().toJSON(),
                    box: label.getBoundingClientRect().toJSON()};
        })()""")
        first, last_of_first, second, last = hint["tops"]
        self.assertTrue(first == last_of_first < second == last, hint["tops"])
        self.assertLessEqual(hint["text"]["bottom"], hint["box"]["bottom"])
        self.assertLessEqual(hint["text"]["right"], hint["box"]["right"] + 0.5)
        self.assertEqual(self.browser.box("Label9"), (801, 0, 180, 40))

    def test_heavy_captions_are_as_wide_in_every_engine(self):
        # Each button's caption, inked from its first column to its last, within 1 px.
        for name, wanted in zip(BUTTONS, INK_WIDTHS):
            x0, y0, w, h = map(int, self.browser.box(name))
            inked = [x for x in range(6, w - 6)
                     if any(self.shot[x0 + x, y0 + y] != FACE for y in range(6, h - 6))] or [0, -1]
            self.assertLessEqual(abs(inked[-1] - inked[0] + 1 - wanted), 1, name)


class ScreenReader(BrowserCase):
    """What a screen reader gets: the tab's title, the live region's words after an orbit, a
    data demonstration and the laws picture, the drawing's name, and axe-core's verdict."""

    def play(self, name):
        self.browser.click_on(name)
        self.browser.wait_line(f"Form1 Return {name}")
        return self.browser.value("window.heard.splice(0)")

    def test_the_page_says_what_started_and_ended_not_every_frame_and_axe_finds_little(self):
        b = self.browser
        # On the virtual clock, every text of the live region recorded.
        b.open_program(PAGE, "?trace&scale=1&clock=virtual")
        b.run("""window.heard = [];
                 const region = document.querySelector('.kepler-announce');
                 new MutationObserver(() => heard.push(region.textContent))
                     .observe(region, {childList: true, characterData: true, subtree: true});""")
        self.assertEqual(b.value("[document.title, document.querySelector('.kepler-window')"
                                 f".dataset.caption, {DRAWING_NAME}]"),
                         ["ケプラーの法則", "Form1", "惑星の運動の図"])
        self.assertEqual(self.play("Command1(1)"), [
            "「地球離心率0.017」が始まりました。",
            "「地球離心率0.017」が終わりました。 公転速度 9674.9 "
            "近日点速度/遠日点速度＝1倍 遠日点距離/近日点距離＝1倍"])
        inner = ["「内惑星の運動」が始まりました。", "「内惑星の運動」が終わりました。 360日経過"]
        self.assertEqual(self.play("Command1(7)"), inner)
        self.assertEqual(b.value(DRAWING_NAME), "惑星の運動の図：「内惑星の運動」")
        # The laws picture runs no time: nothing is said, but the drawing is named after it.
        self.assertEqual(self.play("Command2"), [])
        self.assertEqual(b.value(DRAWING_NAME), "惑星の運動の図：「ケプラーの法則」")
        # もう一度 (R) plays the demonstration started last, by its name.
        b.key("r")
        b.wait_line("Form1 Return Command1(7)", 2)
        self.assertEqual(b.value("window.heard.splice(0)"), inner)
        # WebKitGTK's accelerated canvas crashes now and then; a canvas made for reading is not
        # accelerated, in any engine. The laws picture has given an image its canvas too.
        made = b.value("""[...document.querySelectorAll("canvas"), Module.kepler.measure.canvas]
            .map(canvas => canvas.getContext("2d").getContextAttributes().willReadFrequently)""")
        self.assertEqual(made, [True] * max(4, len(made)))  # four canvases or more
        # axe-core (installed by scripts/deps.sh with npm) once the read-outs hold text.
        self.play("Command1(4)")
        npm_root = subprocess.run(["npm", "root", "-g"], capture_output=True, text=True).stdout
        b.run((pathlib.Path(npm_root.strip()) / "axe-core" / "axe.min.js").read_text())
        result = b.run("""return axe.run(document, {resultTypes: ["violations"]})
                              .then(r => r.violations, e => String(e));""")
        serious = [v for v in result if v["impact"] in ("critical", "serious")]
        contrast = [v for v in serious if v["id"] == "color-contrast"]
        self.assertEqual([v["id"] for v in serious if v not in contrast], [],
                         [(v["id"], v["nodes"][0]["target"]) for v in serious])
        # The exception: the red hint and the read-outs on the drawing's blue, as designed.
        ratios = {b.run("return document.querySelector(arguments[0]).dataset.control;",
                        node["target"][0]): node["any"][0]["data"]["contrastRatio"]
                  for node in (contrast[0]["nodes"] if contrast else [])}
        self.assertEqual(ratios, {"Label9": 2.6, "Label4": 3.25, "Label5": 3.25,
                                  "Label7": 3.25, "Label11": 3.25})


class Clicks(BrowserCase):
    """Keys, nesting, the boxes and the end; a fresh page for each case."""

    def test_a_held_button_is_sunken_then_enter_and_space_click_it_after_any_press(self):
        b = self.browser
        b.open_program(PAGE)
        x0, y0, w, h = 801, 441, 180, 50  # Command2
        middle = (x0 + w / 2, y0 + h / 2)
        up = b.pixels()
        b.mouse(*middle, "down")
        down = b.pixels()
        b.mouse(*middle, "up")
        b.wait_line("Form1 Return Command2")
        # Sunken, with its caption one pixel down and right.
        for (x, y), color in [((0, 0), SHADOW), ((100, 0), SHADOW), ((w - 1, 0), WHITE),
                               ((0, h - 1), WHITE), ((1, 1), DARK), ((w - 2, 1), LIGHT),
                               ((100, h - 2), LIGHT)]:
            self.assertEqual(down[x0 + x, y0 + y], color, (x, y))
        # WebKit blends the moved caption's edges up to a few levels apart now and then.
        moved = [(x, y) for x in range(6, w - 7) for y in range(6, h - 7)
                 if max(map(lambda a, b: abs(a - b), down[x0 + x + 1, y0 + y + 1],
                            up[x0 + x, y0 + y])) > 3]
        self.assertEqual(moved, [])
        # Enter and Space click the last button after a press anywhere, once if held, not with
        # Ctrl.
        drawing, title, view = b.rect("Picture1"), b.rect("Label1"), b.view()
        spots = {"the drawing": (drawing["x"] + 150, drawing["y"] + 300),
                 "a label": (title["x"] + 20, title["y"] + 10),
                 "the margin beyond the window": (view[0] - 20, view[1] - 20)}
        for n, (spot, (x, y)) in enumerate(spots.items(), start=2):
            b.click_at(x, y)
            self.assertEqual(b.focused(), "Command2", spot)
            b.key("Enter" if n % 2 else " ")
            b.wait_line("Form1 Return Command2", n)
        b.key("Enter", repeats=5)  # held: one click
        b.key(" ", repeats=5)  # held: one click, when released
        b.key("Enter", modifiers=2)  # Ctrl+Enter: none
        b.wait_line("Form1 Return Command2", 6)
        time.sleep(0.3)
        self.assertEqual(b.lines("Form1 Click"), ["Form1 Click Command2"] * 6)

    def test_the_quit_box_no_changes_nothing_yes_ends_and_restarts_whatever_the_fragment(self):
        b = self.browser
        # The first page answers いいえ (it goes on), then はい by Enter (the default); the others
        # end by Y.
        for query, answers in [("?trace&scale=1#", ["n", "Enter"]), ("#lesson3", ["y"]),
                               ("?scale=1#top", ["y"])]:
            with self.subTest(query=query):
                b.open_url("about:blank")  # from the page before, only the fragment would change
                b.open_program(PAGE, query)
                for answer in answers:
                    b.click_on("Command3")
                    b.wait_for("document.querySelector('dialog[open]')")
                    self.assertEqual(dialog(b), QUIT_BOX)
                    b.key(answer)
                    if answer == "n":
                        b.wait_line("Form1 Return Command3")
                        self.assertIsNone(dialog(b))
                        self.assertTrue(visible(b, '[data-control="Command1(0)"]'))
                b.wait_for("window.keplerExitCode === 0")
                self.assertFalse(visible(b, "button"))
                self.assertEqual(b.value("document.querySelector('.kepler-ended p').innerText"),
                                 ENDED)
                b.run("window.beforeRestart = true;")
                b.click_on(".kepler-ended a")
                b.wait_for("window.beforeRestart === undefined && window.keplerFirstFrame",
                           timeout=60)
                self.assertTrue(visible(b, '[data-control="Command1(0)"]'))
                self.assertEqual(b.value("location.search"), query.split("#")[0])

    def test_a_click_in_a_wait_runs_nested_and_a_removed_file_ends_both_through_the_error_box(self):
        b = self.browser
        b.open_program(PAGE)
        b.click_on("Command1(0)")
        b.wait_line("Form1 Wait 50", 3)
        b.click_on("Command2")
        b.wait_line("Form1 Return Command2")
        # Command1(0)'s waits go on after Command2 has returned.
        b.wait_for("(t => t.slice(t.findIndex(l => l.endsWith('Return Command2')))"
                   ".some(l => l.endsWith('Wait 50')))(window.keplerTrace)")
        trace = b.lines()
        click, back = trace.index("Form1 Click Command2"), trace.index("Form1 Return Command2")
        # (What Command2 writes is program_trace_test's.)
        self.assertIn("Form1 Wait 50", trace[:click])
        self.assertNotIn("Form1 Wait 50", trace[click:back])
        self.assertNotIn("Form1 Return Command1(0)", trace)
        # The laws picture shows above the drawing, clipped to the surface.
        self.assertEqual(b.box("Image3"), (0, 41, 800, 500))
        self.assertEqual([line for line in b.console() if "rror" in line], [])
        # Gone from the page's file system: the laws picture takes the missing-file error path,
        # still inside a wait of Command1(0).
        b.run("Module.FS.unlink('kepler.bmp')")
        console_before = len(b.console())
        b.click_on("Command2")
        b.wait_for("document.querySelector('dialog[open]')")
        box = dialog(b)
        self.assertEqual(box | {"text": "kepler.bmp" in box["text"]},
                         {"title": "実行時エラー", "text": True, "buttons": ["OK"], "focused": "OK"})
        b.key(" ")
        b.wait_for("window.keplerExitCode === 1")
        errors = [line for line in b.console()[console_before:] if "kepler-laws: " in line]
        self.assertEqual(["kepler.bmp" in line for line in errors], [True], errors)
        trace = b.lines()
        # The picture is not set: the line before its load, then the error and the end.
        self.assertEqual([trace[-3], trace[-2][:13], trace[-1]],
                         ["Image3 Left 0", 'Form1 Error "', "Form1 End"])
        self.assertIn("kepler.bmp", trace[-2])
        time.sleep(0.3)
        self.assertEqual(b.lines(), trace, "something ran after the end")
        self.assertEqual(b.value("document.querySelector('.kepler-ended p').innerText"), ENDED)


class Fitting(unittest.TestCase):
    """The window fills the view, uniformly scaled and centred; clicks land on the buttons. And
    the page runs from a web server as from file://."""

    def test_full_hd_view_served_over_http_asking_for_nothing_more(self):
        page = pathlib.Path(PAGE).resolve()
        server = Server(page.parent)
        self.addCleanup(server.stop)
        with Browser(1920, 1080) as b:
            b.open_url(server.url(page.name + "?trace"))
            b.wait_for("window.keplerFirstFrame", timeout=60)
            view = b.view()
            # The lesson strip lies below the window, fitted with it (program_lesson_test.py).
            strip = b.value("document.querySelector('.kepler-strip').offsetHeight")
            scale = min(view[0] / 989, view[1] / (577 + strip))
            form, below = b.rect(".kepler-window"), b.rect(".kepler-strip")
            x, y, w, h = b.box("Command2")
            for got, want in [(form["width"], 989 * scale), (form["height"], 577 * scale),
                              (form["x"], (view[0] - form["width"]) / 2),
                              (form["y"], (view[1] - (577 + strip) * scale) / 2),
                              (below["y"], form["y"] + form["height"]), (w, 180 * scale)]:
                self.assertAlmostEqual(got, want, delta=1)
            self.assertLessEqual(below["bottom"], view[1])
            shot = b.pixels()
            self.assertEqual([shot[1, 1], shot[view[0] - 2, view[1] - 2]], [(224, 224, 224)] * 2)
            x, y = int(x + w * 0.9), int(y + h * 0.9)
            self.assertEqual(shot[x, y], FACE)
            b.click_at(x, y)
            b.wait_line("Form1 Return Command2")
            self.assertEqual(b.requests(), [])  # not even /favicon.ico


if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main(verbosity=2)
