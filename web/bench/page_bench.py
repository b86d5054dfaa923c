#!/usr/bin/python3
"""Figures of a program page in headless Chromium, from file://: its size and what it is made of,
the time from opening it to the first frame that shows the window, and the overshoot of the
window's own waits (through WebClock and the event loop) at 3 and 30 ms.

    /usr/bin/python3 web/bench/page_bench.py [PAGE] [--opens N]

PAGE defaults to build-web/web/form_demo.html (scripts/web.sh builds it); the page must answer
?bench=waits by leaving window.keplerWaitFigures. A benchmark, not a test: the figures depend on
the machine's load.
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


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("page", nargs="?", default="build-web/web/form_demo.html")
    parser.add_argument("--opens", type=int, default=10, help="page opens to time")
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
