#!/usr/bin/python3
"""Figures of the program's page in headless Chromium, from file://: its size, the time from
opening it to the first frame that shows the window, and each demonstration's pacing overhead on
the real clock: the time from its click to its return, against the sum of the waits it asked for.

    /usr/bin/python3 web/bench/program_bench.py [PAGE] [--opens N] [--only I]

PAGE defaults to build-web/web/kepler-laws.html (scripts/web.sh builds it). The times come from
the page's own trace (?trace: every line carries performance.now()), so nothing is added to the
program for them. All eight demonstrations take about four minutes. A benchmark, not a test: the
figures depend on the machine's load.
"""

import argparse
import os
import pathlib
import re
import statistics
import sys

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "web"))
from harness import Browser  # noqa: E402

LINE = re.compile(r"^(\d+\.\d+) kepler\.forms: (.*)$")


def pacing(trace, button):
    """(asked, measured) [ms] of one clicked demonstration: the sum of its waits and the time from
    its Click line to its Return line."""
    times = []
    asked = 0
    for entry in trace:
        stamp, line = LINE.match(entry).groups()
        if line == f"Form1 Click {button}" or line == f"Form1 Return {button}":
            times.append(float(stamp))
        elif times and line.startswith("Form1 Wait "):
            asked += int(line.split()[2])
    if len(times) != 2:
        raise RuntimeError(f"{button}: no whole run in the trace")
    return asked, times[1] - times[0]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page", nargs="?", default="build-web/web/kepler-laws.html")
    parser.add_argument("--opens", type=int, default=10, help="page opens to time")
    parser.add_argument("--only", type=int, action="append", help="demonstration to play (0-7)")
    args = parser.parse_args()
    page = pathlib.Path(args.page)
    if not page.exists():
        sys.exit(f"program_bench.py: {page} is missing; run scripts/web.sh first")

    print(f"load average {os.getloadavg()[0]:.2f}")
    size = page.stat().st_size
    print(f"{page.name}: {size:,} bytes ({size / 2**20:.2f} MiB)")
    with Browser() as browser:
        first_frames = []
        for _ in range(args.opens):
            browser.open(page, "?scale=1")
            first_frames.append(browser.wait_for("window.keplerFirstFrame", timeout=60))
        print(f"open to first frame over {args.opens} opens [ms]: median "
              f"{statistics.median(first_frames):.1f}, min {min(first_frames):.1f}, "
              f"max {max(first_frames):.1f}")

        print("| # | waits asked [ms] | click to return [ms] | overhead |")
        print("|---|---|---|---|")
        for index in args.only or range(8):
            button = f"Command1({index})"
            browser.open(page, "?scale=1&trace")
            browser.wait_for("window.keplerFirstFrame", timeout=60)
            browser.run("document.querySelector(arguments[0]).click()",
                        f'[data-control="{button}"]')
            browser.wait_for(f"window.keplerTrace.some(l => l.endsWith('Form1 Return {button}'))",
                             timeout=120, poll=0.5)
            asked, measured = pacing(browser.trace(), button)
            print(f"| {index} | {asked} | {measured:.1f} | {100 * (measured - asked) / asked:.2f} % |",
                  flush=True)
    print(f"load average {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
