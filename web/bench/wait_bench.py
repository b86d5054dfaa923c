#!/usr/bin/python3
"""Pacing-wait overshoot in headless Chromium, one page per strategy, and the browser's CPU.

    /usr/bin/python3 web/bench/wait_bench.py [BUILD_WEB_DIR] [--short N] [--long M]

Builds nothing: run scripts/web.sh first (it builds build-web/web/wait_bench.html). Prints for
each strategy the overshoot (return time minus deadline, median / max / mean [ms]) of N waits of
3 ms and M waits of 30 ms, back to back, and the CPU time all Chromium processes used meanwhile
as a share of one core. A benchmark, not a test: the figures depend on the machine's load.
"""

import argparse
import os
import pathlib
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))  # web/browser.py
from browser import Browser  # noqa: E402

STRATEGIES = [
    ("sleep", "emscripten_sleep(delay)"),
    ("timeout", "setTimeout to the deadline"),
    ("hop-timeout", "hop, then setTimeout to the deadline"),
    ("timeout1-hops", "setTimeout to 1 ms before, then hops"),
    ("hop-timeout0.5-hops", "hop, setTimeout to 0.5 ms before, hops"),
    ("WaitUntil", "hop, setTimeout to the deadline, no spin (the page's wait, wait.js)"),
    ("hop-timeout2-hops", "hop, setTimeout to 2 ms before, hops"),
    ("hops", "hops only (a yielding busy wait)"),
]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build", nargs="?", default="build-web")
    parser.add_argument("--short", type=int, default=200, help="waits of 3 ms")
    parser.add_argument("--long", type=int, default=60, help="waits of 30 ms")
    args = parser.parse_args()
    page = pathlib.Path(args.build) / "web" / "wait_bench.html"
    if not page.exists():
        sys.exit(f"wait_bench.py: {page} is missing; run scripts/web.sh first")

    print(f"load average {os.getloadavg()[0]:.2f}")
    print("| strategy | 3 ms: median / max / mean [ms] | 30 ms: median / max / mean [ms] | CPU |")
    print("|---|---|---|---|")
    with Browser() as browser:
        for name, description in STRATEGIES:
            browser.open(page, f"?strategy={name}&short={args.short}&long={args.long}")
            browser.wait_for("window.waitStarted", timeout=30, poll=0.01)
            cpu, wall = browser.cpu_seconds(), time.monotonic()
            results = browser.wait_for("window.waitResults", timeout=600, poll=0.05)
            cpu, wall = browser.cpu_seconds() - cpu, time.monotonic() - wall
            cells = [f"{r['median']:.3f} / {r['max']:.3f} / {r['mean']:.3f}"
                     for r in results["runs"]]
            print(f"| {description} | {cells[0]} | {cells[1]} | {100 * cpu / wall:.0f} % |",
                  flush=True)
    print(f"load average {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
