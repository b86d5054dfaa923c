#!/usr/bin/python3
"""Figures of the program's page in headless Chromium, from file://: its size, the time from
opening it to the first frame that shows the window, and each demonstration's pacing overhead on
the real clock: the time from its click to its return, against the sum of the waits it asked for.

    /usr/bin/python3 web/bench/program_bench.py [PAGE] [--opens N] [--only I] [--runs N] [--busy]
        [--floor] [--untraced]

PAGE defaults to build-web/web/kepler-laws.html (scripts/web.sh builds it). The times come from
the page's own trace (?trace: every line carries performance.now()), so nothing is added to the
program for them. All eight demonstrations take about four minutes. A benchmark, not a test: the
figures depend on the machine's load. KEPLER_BROWSER picks the engine (web/browser.py).
Each demonstration is played --runs times (each on a fresh page); its row gives the medians of
the overhead and of the CPU time of all the browser's processes over the time from its click to
its return, as a share of one core. --busy keeps one core busy with a spinning process meanwhile,
the background load of the pacing goals. --floor also plays floor.html beside it, the least any
page costs the engine to show the circle's and the inner planets' frames (see floor.js), for 10 s
each, --runs times: its CPU is the floor under the program's. --untraced plays each
demonstration once more without ?trace (the trace costs CPU too) and gives that play's CPU.
"""

import argparse
import multiprocessing
import os
import pathlib
import re
import statistics
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1]))  # web/browser.py
from browser import Browser  # noqa: E402

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


def untraced_cpu(browser, page, button):
    """CPU as a share of one core of one play without ?trace, the page as a class sees it: from
    the click to the live region's word that the demonstration ended (looked at every 0.1 s)."""
    browser.open(page, "?scale=1")
    browser.wait_for("window.keplerFirstFrame", timeout=60)
    cpu, start = browser.cpu_seconds(), time.monotonic()
    browser.run("document.querySelector(arguments[0]).click()", f'[data-control="{button}"]')
    browser.wait_for("document.querySelector('.kepler-announce').textContent"
                     ".includes('終わりました')", timeout=180, poll=0.1)
    return 100 * (browser.cpu_seconds() - cpu) / (time.monotonic() - start)


def floor(browser, page, runs):
    """The floor page's CPU as a share of one core and its frames per second, medians of `runs`
    plays of 10 s in each shape."""
    print("| floor | CPU | frames/s |")
    print("|---|---|---|")
    for shape in ("circle", "inner"):
        plays = []
        for _ in range(runs):
            browser.open(page, f"?shape={shape}")
            time.sleep(1)
            frames, cpu = browser.value("window.floorFrames"), browser.cpu_seconds()
            time.sleep(10)
            cpu = browser.cpu_seconds() - cpu
            plays.append((10 * cpu, (browser.value("window.floorFrames") - frames) / 10))
        print(f"| {shape} | {statistics.median(p[0] for p in plays):.0f} % | "
              f"{statistics.median(p[1] for p in plays):.0f} |", flush=True)


def spin():
    while True:
        pass


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page", nargs="?", default="build-web/web/kepler-laws.html")
    parser.add_argument("--opens", type=int, default=10, help="page opens to time")
    parser.add_argument("--only", type=int, action="append", help="demonstration to play (0-7)")
    parser.add_argument("--runs", type=int, default=1, help="plays of each demonstration")
    parser.add_argument("--busy", action="store_true", help="one core busy meanwhile")
    parser.add_argument("--floor", action="store_true", help="the floor page's CPU too")
    parser.add_argument("--untraced", action="store_true",
                        help="CPU of one more play without ?trace too")
    args = parser.parse_args()
    page = pathlib.Path(args.page)
    if not page.exists():
        sys.exit(f"program_bench.py: {page} is missing; run scripts/web.sh first")

    busy = multiprocessing.Process(target=spin, daemon=True) if args.busy else None
    if busy:
        busy.start()
    print(f"{os.environ.get('KEPLER_BROWSER', 'chromium')}, one busy core: {bool(busy)}; "
          f"load average {os.getloadavg()[0]:.2f}")
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

        print("| # | waits asked [ms] | click to return [ms] | overhead | CPU | runs' overheads |"
              + (" CPU without the trace |" if args.untraced else ""))
        print("|---|---|---|---|---|---|" + ("---|" if args.untraced else ""))
        for index in args.only or range(8):
            button = f"Command1({index})"
            runs = []
            for _ in range(args.runs):
                browser.open(page, "?scale=1&trace")
                browser.wait_for("window.keplerFirstFrame", timeout=60)
                cpu = browser.cpu_seconds()
                browser.run("document.querySelector(arguments[0]).click()",
                            f'[data-control="{button}"]')
                browser.wait_for(
                    f"window.keplerTrace.some(l => l.endsWith('Form1 Return {button}'))",
                    timeout=180, poll=0.5)
                cpu = browser.cpu_seconds() - cpu
                asked, measured = pacing(browser.trace(), button)
                runs.append((100 * (measured - asked) / asked, measured, 100 * cpu * 1000 / measured))
            over = statistics.median(run[0] for run in runs)
            measured = statistics.median(run[1] for run in runs)
            cpu = statistics.median(run[2] for run in runs)
            each = ", ".join(f"{run[0]:.2f}" for run in runs)
            untraced = f" {untraced_cpu(browser, page, button):.0f} % |" if args.untraced else ""
            print(f"| {index} | {asked} | {measured:.1f} | {over:.2f} % | {cpu:.0f} % | {each} |"
                  + untraced, flush=True)
        if args.floor:
            floor(browser, pathlib.Path(__file__).with_name("floor.html"), args.runs)
    print(f"load average {os.getloadavg()[0]:.2f}")
    if busy:
        busy.terminate()


if __name__ == "__main__":
    main()
