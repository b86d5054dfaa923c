#!/usr/bin/env python3
"""The real program started where its window cannot be shown. Where no display can be opened
(DISPLAY unset, a display nobody serves) it must end at once with status 1 and one Japanese line on
stderr saying how to run on a virtual display, without Qt's abort and its English lines. Where the
platform plugin itself cannot be started (an unknown one, whatever the display), it must not blame
the display: status 1, the program's Japanese line for a platform that could not be started, then
Qt's own reason naming the plugin and the plugins there are.

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
    dead = unused_display()
    # What each situation is: whether the display is to blame.
    situations = {
        "no DISPLAY": ({}, True),
        "a dead display": ({"DISPLAY": dead}, True),
        "an unknown platform": ({"QT_QPA_PLATFORM": "no-such-platform"}, False),
        "an unknown platform and a dead display":
            ({"QT_QPA_PLATFORM": "no-such-platform", "DISPLAY": dead}, False),
    }
    failures = []
    with tempfile.TemporaryDirectory() as folder:
        for what, (extra, no_display) in situations.items():
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
            if no_display:
                if len(lines) != 1 or not lines[0].startswith("kepler-laws: ") or \
                        "xvfb-run" not in lines[0] or "ディスプレイ" not in lines[0]:
                    failures.append("%s: not one Japanese kepler-laws line: %s" % (what, lines))
                continue
            reason = "\n".join(lines[1:])
            if not lines or not lines[0].startswith("kepler-laws: ") or \
                    "プラットフォームを起動できませんでした" not in lines[0] or \
                    "ディスプレイ" in lines[0]:
                failures.append("%s: not the platform's Japanese line first: %s" % (what, lines))
            if 'Could not find the Qt platform plugin "no-such-platform"' not in reason or \
                    "Available platform plugins are:" not in reason:
                failures.append("%s: Qt's reason is missing: %s" % (what, lines))
            if "Aborted" in reason or "core dumped" in reason:
                failures.append("%s: Qt's abort: %s" % (what, lines))
    for failure in failures:
        print("FAILED: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
