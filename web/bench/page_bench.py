#!/usr/bin/python3
"""Figures of a program page in headless Chromium, from file://: its size and what it is made of,
the time from opening it to the first frame that shows the window, and either the overshoot of the
window's own waits at 3 and 30 ms (--waits, for a page that answers ?bench=waits by leaving
window.keplerWaitFigures) or the pacing of the program's demonstrations (--pacing: each of the
eight scenario buttons played once on the real clock; its time from click to return against the
sum of the waits it asked for, read from the page's trace).

    /usr/bin/python3 web/bench/page_bench.py [PAGE] [--opens N] [--waits] [--pacing [BUTTON ...]]

PAGE defaults to build-web/kepler-laws.html (scripts/web.sh builds it). A benchmark, not a test:
the figures depend on the machine's load.
"""

import argparse
import json
import os
import pathlib
import re
import statistics
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[2] / "tests" / "web"))
from harness import Browser  # noqa: E402


def parts(page_text):
    """Bytes of each embedded part of a packed page."""
    sizes = {}
    for element_id in ("kepler-files", "kepler-fonts", "kepler-wasm"):
        match = re.search(f'id="{element_id}">(.*?)</script>', page_text, re.S)
        sizes[element_id] = len(match.group(1).encode()) if match else 0
    sizes["everything else"] = len(page_text.encode()) - sum(sizes.values())
    return sizes


def measure_pacing(browser, page, button):
    """Plays Command1(button) once and prints its time from click to return, the sum of the waits
    it asked for, and the overhead of the one over the other."""
    control = f"Command1({button})"
    browser.open(page, "?scale=1&trace")
    browser.wait_for("window.keplerFirstFrame", timeout=60)
    cpu, wall = browser.cpu_seconds(), time.monotonic()
    browser.run(f"document.querySelector('[data-control=\"{control}\"]').click();")
    browser.wait_for(f"window.keplerTrace.some(l => l.endsWith('Form1 Return {control}'))",
                     timeout=600, poll=0.2)
    cpu, wall = browser.cpu_seconds() - cpu, time.monotonic() - wall
    stamped = [line.split(" kepler.forms: ", 1) for line in browser.trace()]
    start = next(i for i, (_, line) in enumerate(stamped) if line == f"Form1 Click {control}")
    end = next(i for i, (_, line) in enumerate(stamped) if line == f"Form1 Return {control}")
    asked = sum(int(line.rsplit(" ", 1)[1]) for _, line in stamped[start:end]
                if line.startswith("Form1 Wait "))
    took = float(stamped[end][0]) - float(stamped[start][0])
    overhead = 100 * (took - asked) / asked
    print(f"  {control}: {took / 1000:.3f} s against {asked / 1000:.3f} s of waits asked: "
          f"overhead {overhead:+.2f} %, CPU {100 * cpu / wall:.0f} % of one core")
    return {"button": button, "took": took, "asked": asked, "overhead": overhead}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page", nargs="?", default="build-web/kepler-laws.html")
    parser.add_argument("--opens", type=int, default=10, help="page opens to time")
    parser.add_argument("--waits", action="store_true", help="the page's own wait figures")
    parser.add_argument("--pacing", nargs="*", type=int, metavar="BUTTON",
                        help="Command1 indices to play (all eight when none is given)")
    args = parser.parse_args()
    page = pathlib.Path(args.page)
    if not page.exists():
        sys.exit(f"page_bench.py: {page} is missing; run scripts/web.sh first")

    print(f"load average {os.getloadavg()[0]:.2f}")
    size = page.stat().st_size
    print(f"{page.name}: {size:,} bytes ({size / 2**20:.2f} MiB)")
    for name, part in parts(page.read_text(encoding="utf-8")).items():
        print(f"  {name}: {part:,} bytes")

    with Browser() as browser:
        first_frames = []
        for _ in range(args.opens):
            browser.open(page, "?scale=1")
            first_frames.append(browser.wait_for("window.keplerFirstFrame", timeout=60))
        print(f"open to first frame over {args.opens} opens [ms]: median "
              f"{statistics.median(first_frames):.1f}, min {min(first_frames):.1f}, "
              f"max {max(first_frames):.1f}")

        if args.pacing is not None:
            pacing = [measure_pacing(browser, page, button)
                      for button in (args.pacing or range(8))]
        if not args.waits:
            print(json.dumps({"size": size, "first_frames": first_frames,
                              "pacing": pacing if args.pacing is not None else None}))
            return

        browser.open(page, "?scale=1&bench=waits")
        cpu, wall = browser.cpu_seconds(), time.monotonic()
        figures = browser.wait_for("window.keplerWaitFigures", timeout=120)
        cpu, wall = browser.cpu_seconds() - cpu, time.monotonic() - wall
        print("the window's waits, back to back (overshoot = duration - delay asked [ms]):")
        for run in figures:
            print(f"  {run['delay']} ms x {run['count']}: median {run['median']:.3f}, "
                  f"mean {run['mean']:.3f}, 99th percentile {run['p99']:.3f}, max {run['max']:.3f}")
        print(f"  CPU of all Chromium processes meanwhile: {100 * cpu / wall:.0f} % of one core")
        print(json.dumps({"size": size, "first_frames": first_frames, "waits": figures}))
    print(f"load average {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    main()
