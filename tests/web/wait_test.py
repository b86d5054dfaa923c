#!/usr/bin/python3
"""The browser build's pacing wait (src/forms/web/wait.cpp) in headless Chromium: it never returns before
its deadline, and the page stays responsive while C++ code waits in it.

    /usr/bin/python3 tests/web/wait_test.py BUILD_WEB/web/wait_bench.html
"""

import sys
import unittest

from harness import Browser

PAGE = None  # set from the command line


class WaitUntil(unittest.TestCase):
    def test_never_returns_early_and_yields_to_the_page_meanwhile(self):
        with Browser() as browser:
            browser.open(PAGE, "?strategy=WaitUntil&short=100&long=10")
            browser.wait_for("window.waitStarted", poll=0.01)
            # A script runs in the page between two tasks only: a wait that blocked would hold
            # this answer back until every wait was over.
            self.assertIsNone(browser.value("window.waitResults"))
            runs = browser.wait_for("window.waitResults", timeout=60)["runs"]
        self.assertEqual([(run["delay"], run["count"]) for run in runs], [(3, 100), (30, 10)])
        self.assertGreaterEqual(min(run["min"] for run in runs), 0.0, runs)


if __name__ == "__main__":
    PAGE = sys.argv.pop(1)
    unittest.main(verbosity=2)
