#!/usr/bin/env python3
"""The real program started where no display can be opened: DISPLAY unset, a display nobody
serves, an unknown platform plugin. Each must end at once with status 1 and one Japanese line on
stderr saying how to run on a virtual display, without Qt's abort and its English lines.

Usage: no_display.py PROGRAM
"""

import os
import subprocess
import sys
import tempfile


def unused_display():
    """A display number no X server listens on here."""
    for number in range(987, 1200):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and \
                not os.path.exists("/tmp/.X%d-lock" % number):
            return ":%d" % number
    raise RuntimeError("no unused display number")


def main():
    program = os.path.abspath(sys.argv[1])
    base = {key: value for key, value in os.environ.items()
            if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    base["LC_ALL"] = "C.UTF-8"
    situations = {
        "no DISPLAY": {},
        "a dead display": {"DISPLAY": unused_display()},
        "an unknown platform": {"QT_QPA_PLATFORM": "no-such-platform"},
    }
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for what, extra in situations.items():
            env = dict(base, **extra)
            try:
                done = subprocess.run([program], cwd=folder, env=env, stdout=subprocess.PIPE,
                                      stderr=subprocess.PIPE, timeout=20)
            except subprocess.TimeoutExpired:
                failures.append("%s: still running after 20 s" % what)
                continue
            lines = done.stderr.decode("utf-8", "replace").splitlines()
            print("%s: status %d, stderr %s" % (what, done.returncode, lines))
            if done.returncode != 1:
                failures.append("%s: status %d, not 1" % (what, done.returncode))
            if len(lines) != 1 or not lines[0].startswith("kepler-laws: ") or \
                    "xvfb-run" not in lines[0] or "ディスプレイ" not in lines[0]:
                failures.append("%s: not one Japanese kepler-laws line: %s" % (what, lines))
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
