#!/usr/bin/python3
"""The program's page does what the desktop program does, line for line: for start-up and for
each of the ten buttons clicked once on a fresh page (on the virtual clock), the page's operation
trace without its time stamps has the line count and SHA-256 digest that the desktop's golden
trace test pins (tests/gui/golden_traces.txt).

    /usr/bin/python3 tests/web/program_trace_test.py BUILD_WEB/kepler-laws.html \
        [TraceEquality.test_CASE ...]

With KEPLER_TRACE_DUMP=<folder> holding the desktop's traces (the golden test writes them there
under the same variable), a difference is shown as the first lines that differ.
"""

import difflib
import hashlib
import os
import pathlib
import sys
import unittest

from harness import BUTTONS, BrowserCase

PAGE = None  # set from the command line
GOLDEN = pathlib.Path(__file__).resolve().parent.parent / "gui" / "golden_traces.txt"
ANSWERS = {"はい": "はい(Y)", "いいえ": "いいえ(N)"}
# {name: (button index or -1, the quit box's answer or "-", lines, sha256)} for the cases without a
# second, nested click (those need the desktop clock's schedule): name, button, answer, nested_at,
# _, count, digest.
ROWS = [line.split() for line in GOLDEN.read_text().splitlines() if line and line[0] != "#"]
CASES = {row[0]: (int(row[1]), row[2], int(row[5]), row[6]) for row in ROWS if int(row[3]) == 0}


class TraceEquality(BrowserCase):
    """One fresh page per case, in one browser."""

    def run_case(self, name):
        button, answer, expected_count, expected_digest = CASES[name]
        b = self.browser
        b.open_program(PAGE, "?trace&scale=1&clock=virtual")
        # Start-up ends when its last line is written; nothing more comes until a click.
        b.wait_for(f"window.keplerTrace.length >= {CASES['start_up'][2]}", timeout=60)
        before = 0 if button < 0 else b.value("window.keplerTrace.length")
        if name.startswith("sectors_"):  # the lesson's sectors on, by their key
            b.run("document.dispatchEvent(new KeyboardEvent('keydown', {key: 'a', code: 'KeyA'}));")
        if button >= 0:
            b.run("document.querySelector(arguments[0]).click();",
                  f'[data-control="{BUTTONS[button]}"]')
        if answer in ANSWERS:
            b.wait_for("document.querySelector('dialog[open]')")
            b.run("[...document.querySelectorAll('dialog[open] button')]"
                  ".find(button => button.textContent === arguments[0]).click();", ANSWERS[answer])
        if button >= 0:
            b.wait_line("Form1 End" if answer == "はい" else f"Form1 Return {BUTTONS[button]}",
                        timeout=120, poll=0.1)
        got = b.lines()[before:]
        digest = hashlib.sha256("\n".join(got).encode()).hexdigest()
        if (len(got), digest) == (expected_count, expected_digest):
            return
        detail = f"{name}: {len(got)} lines, digest {digest}"
        desktop = pathlib.Path(os.environ.get("KEPLER_TRACE_DUMP", "-")) / f"{name}.trace"
        if desktop.exists():
            diff = difflib.unified_diff(desktop.read_text().splitlines(), got, "desktop", "browser",
                                        n=2, lineterm="")
            detail += "\n" + "\n".join(list(diff)[:40])
        self.fail(f"the page's trace differs from the desktop's: {detail}")


for _name in CASES:
    setattr(TraceEquality, f"test_{_name}", lambda self, name=_name: self.run_case(name))

if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main(verbosity=2)
