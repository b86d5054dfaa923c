#!/usr/bin/python3
"""The program's page shows what the model holds. Demonstrations play one after another on the
virtual clock, which the test holds at chosen waits; there a screenshot of the drawing area must
equal, pixel for pixel, Picture1's own buffer with each visible body's picture at its traced Left
and Top (drawing_check.js composes it, the pictures decoded by the browser from the page's file
system). A body that kept an earlier picture differs there from the picture it should show.

    /usr/bin/python3 tests/web/program_screen_test.py BUILD_WEB/web/kepler-laws.html
"""

import pathlib
import sys
import unittest

from harness import BrowserCase

PAGE = None  # set from the command line
CHECK = (pathlib.Path(__file__).resolve().parent / "drawing_check.js").read_text()

# The bodies each demonstration shows, in the surface's stacking order (Image1, Image2, Image4).
BODIES = {2: ["mars01.gif"], 5: ["harei01.gif"], 6: ["earth02.gif", "mars01.gif"],
          7: ["earth02.gif", "suisei02.gif", "Venus01.gif"]}


class ShownAsModelled(BrowserCase):
    """One fresh page per sequence of two demonstrations."""

    def returned(self, start, button):
        return f"window.keplerTrace.slice({start}).some(l => l.endsWith(' Return {button}'))"

    def check(self, where, files):
        b = self.browser
        clip = dict(zip(("x", "y", "width", "height"), b.box("Picture1")), scale=1)
        shot = b.driver.execute_cdp_cmd("Page.captureScreenshot",
                                        {"format": "png", "clip": clip})["data"]
        result = b.driver.execute_async_script(
            CHECK + "\nconst done = arguments[arguments.length - 1];\n"
            "keplerDrawingCheck(arguments[0]).then(done, error => done({error: String(error)}));",
            shot)
        self.assertNotIn("error", result, where)
        self.assertEqual([body["file"] for body in result["bodies"]], files,
                         f"{where}: the model's bodies")
        self.assertEqual(result["mismatched"], 0,
                         f"{where}: pixels [x, y, shown, composed]: {result['mismatches']}")
        self.assertGreater(result["compared"], 0.9 * result["width"] * result["height"], where)

    def play(self, first, second):
        b = self.browser
        b.open_program(PAGE, "?trace&scale=1&clock=virtual")
        # Holds, in trace lines after a demonstration's click: a frame of the first
        # demonstration, and the first frame and two later ones of the second (Halley's, the
        # shortest, traces 1992 lines).
        for index, holds in [(first, [900]), (second, [1, 900, 1900])]:
            button = f"Command1({index})"
            start = b.value("window.keplerTrace.length")
            for n, lines in enumerate(holds):
                # The clock held at the first wait `lines` trace lines or more after the click.
                b.run("Module.kepler.holdAt = arguments[0];", start + lines)
                if n == 0:
                    b.run(f"document.querySelector('[data-control=\"{button}\"]').click();")
                held = f"Module.kepler.holding && window.keplerTrace.length >= {start + lines}"
                b.wait_for(f"({held}) || {self.returned(start, button)}", timeout=60)
                self.assertTrue(b.value(held), f"{button} returned before {lines} lines")
                b.next_frame()
                self.check(f"{button}, {lines} lines in", BODIES[index])
            b.run("delete Module.kepler.holdAt;")
            b.wait_for(self.returned(start, button), timeout=60)

    def test_inner_planets_then_mars_halley_earth_and_mars_and_mars_then_inner_planets(self):
        for first, second in [(7, 2), (7, 5), (7, 6), (2, 7)]:
            with self.subTest(first=first, second=second):
                self.play(first, second)


if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main(verbosity=2)
