#!/usr/bin/env python3
"""The real program started where its window cannot be shown. Where no display can be opened
(DISPLAY unset, a display nobody serves) it must end at once with status 1 and one Japanese line on
stderr saying how to run on a virtual display, without Qt's abort and its English lines. Where the
platform plugin itself cannot be started (an unknown one, whatever the display), it must not blame
the display: status 1, the program's Japanese line for a platform that could not be started, then
Qt's own reason naming the plugin and the plugins there are. (Qt's abort would end it by SIGABRT,
not with status 1.)

Usage: no_display.py PROGRAM
"""

import os
import re
import subprocess
import sys

# The whole of stderr in each situation.
DISPLAY_LINE = r"kepler-laws: [^\n]*ディスプレイ[^\n]*xvfb-run[^\n]*\n"
PLATFORM = (r"kepler-laws: (?![^\n]*ディスプレイ)[^\n]*プラットフォームを起動できませんでした[^\n]*\n"
            r'.*Could not find the Qt platform plugin "no-such-platform".*'
            r"Available platform plugins are:.*")

program = os.path.abspath(sys.argv[1])
base = {key: value for key, value in os.environ.items()
        if key not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
# A display nobody serves, and a platform plugin Qt does not have.
dead, unknown = {"DISPLAY": ":65535"}, {"QT_QPA_PLATFORM": "no-such-platform"}
failed = False
for extra, expected in [({}, DISPLAY_LINE), (dead, DISPLAY_LINE), (unknown, PLATFORM),
                        ({**unknown, **dead}, PLATFORM)]:
    done = subprocess.run([program], cwd="/", env=dict(base, LC_ALL="C.UTF-8", **extra),
                          capture_output=True, timeout=20, encoding="utf-8", errors="replace")
    passed = done.returncode == 1 and re.fullmatch(expected, done.stderr, re.S)
    failed |= not passed
    print("%s %s: status %d, stderr %r" % ("ok" if passed else "FAILED", extra, done.returncode,
                                           done.stderr))
sys.exit(1 if failed else 0)
