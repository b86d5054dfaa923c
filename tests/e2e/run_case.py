#!/usr/bin/env python3
"""End-to-end runs of the real kepler-laws window on a real X server: each case starts its own
Xvfb, starts the program from its asset folder with the forms trace on, drives it with xdotool and
checks the screen, the trace and the exit status. They keep to what only a real process on a real
X server shows (start-up, a real clock's run, a locale from the environment, the X close request,
events arriving in one batch, a window manager, a scale factor); what the window draws and does
on its own is the GUI tests' (tests/gui).

Usage: run_case.py --program PATH --assets DIR --artifacts DIR CASE   (the cases: CASES below)
Exit status 0 passed, 1 failed, 77 skipped (a tool is missing). The trace and the last screenshot
of each run are left in ARTIFACTS/CASE for a person to look at.
"""

import argparse
import collections
import hashlib
import locale
import os
import re
import shutil
import subprocess
import sys
import time

try:
    import desktop
except OSError as error:  # no libX11 or libXtst, which come with xdotool
    print("skipped: %s (scripts/deps.sh test installs xdotool)" % error)
    sys.exit(77)

SIZE = (989, 577)
SURFACE, YELLOW = (128, 128, 255), (255, 240, 0)
# Logical points of the window and their colours before any click: the Sun's disc (its centre at
# Picture1's (300, 250)), the surface round it, its far corner and the read-out strip below.
LOOK = [((300 + dx, 291 + dy), YELLOW) for dx, dy in [(0, 0), (8, 0), (-8, 0), (0, 8), (0, -8)]] + \
       [(point, SURFACE) for point in [(314, 291), (286, 291), (300, 277), (798, 539), (790, 570),
                                       (20, 545)]]
TRACE = re.compile(r"^\s*([0-9.]+) kepler\.forms: (.*)$")
SANITIZERS = ("AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:")
# The program's line when it cannot open a display, and the exit code that asks for a new X server.
NO_DISPLAY_LINE = "画面（ディスプレイ）を開けませんでした"
DISPLAY_REFUSED = 75
GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "gui", "golden_traces.txt")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, poll=0.05):
    """The predicate's first true value within timeout [s], else its last value."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()) and time.monotonic() < deadline:
        time.sleep(poll)
    return value


def button(index):
    """The middle of Command1(0..7), Command2 (8) or Command3 (9) in logical pixels."""
    return 891, 66 + 50 * index


class Run:
    """One case: the program started in its folder with the trace on (stderr in ARTIFACTS/CASE),
    its window and where the window shows its 989x577 logical pixels: magnified uniformly to the
    largest size that fits and centred, in device-independent pixels `ratio` screen pixels wide."""

    def __init__(self, args, case):
        self.artifacts = os.path.join(args.artifacts, args.case)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        folder = args.assets
        if case.removed:
            folder = os.path.join(self.artifacts, "folder")
            shutil.copytree(args.assets, folder)
            os.remove(os.path.join(folder, case.removed))
        # The lesson strip hidden, as a teacher leaves it, so that the window is the layout alone.
        config = os.path.join(self.artifacts, "config")
        os.makedirs(os.path.join(config, "kepler-laws"))
        with open(os.path.join(config, "kepler-laws", "kepler-laws.conf"), "w") as f:
            f.write("[lesson]\nstrip=false\n")
        env = {**os.environ, "QT_QPA_PLATFORM": "xcb", "LC_ALL": "C.UTF-8",
               "QT_LOGGING_RULES": "kepler.forms.debug=true", "XDG_CONFIG_HOME": config,
               "QT_MESSAGE_PATTERN": "%{time process} %{category}: %{message}", **case.environment}
        self.ratio = float(case.environment.get("QT_SCALE_FACTOR", 1))
        self.log = os.path.join(self.artifacts, "stderr.log")
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen([args.program], cwd=folder, env=env, stderr=log,
                                            stdout=subprocess.DEVNULL)
        self.window = None

    def stderr(self):
        with open(self.log, encoding="utf-8", errors="replace") as f:
            return f.read().splitlines()

    def trace(self):
        """The trace as (time [s], operation) pairs."""
        return [(float(m[1]), m[2]) for m in map(TRACE.match, self.stderr()) if m]

    def operations(self):
        return [operation for _, operation in self.trace()]

    def wait_for(self, operation, timeout):
        check(wait_until(lambda: operation in self.operations(), timeout),
              "no %s within %d s" % (operation, timeout))

    def wait_exit(self, timeout):
        """The exit status, or None if the program still runs after timeout [s]."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def point(self, x, y):
        """The pixel of the window's client area that shows the logical point (x, y)."""
        room = [length / self.ratio for length in desktop.geometry(self.window)[2:]]
        scale = min(r / s for r, s in zip(room, SIZE))
        return tuple(int(self.ratio * ((r - round(s * scale)) // 2 + p * scale))
                     for r, s, p in zip(room, SIZE, (x, y)))

    def show(self):
        """Waits for the window, its first paint and a screen that stops changing."""
        self.window = desktop.find_window("Form1", 20)
        check(self.window, "the window Form1 did not appear within 20 s")
        shots = [None]

        def painted_and_settled():
            shots.append(desktop.screenshot(self.window))
            return shots[-1].pixel(*self.point(500, 71)) == SURFACE and \
                shots[-2] is not None and shots[-1].rgb == shots[-2].rgb

        check(wait_until(painted_and_settled, 15, poll=0.1),
              "the window's surface was not painted, or kept changing, for 15 s")

    def check_look(self):
        """The window shows the Sun and the surface each in its place."""
        shot = desktop.screenshot(self.window)
        for point, color in LOOK:
            at = self.point(*point)
            check(shot.pixel(*at) == color, "logical %s (window pixel %s) is %s, not %s" %
                  (point, at, shot.pixel(*at), color))

    def click(self, index):
        desktop.click(self.window, *self.point(*button(index)))

    def end(self):
        """Ends the run as a window manager would, if it is still going; returns the status."""
        if self.process.poll() is None and self.window:
            desktop.screenshot().save_png(os.path.join(self.artifacts, "last.png"))
            desktop.close(self.window)
            self.wait_exit(5)
        if self.process.poll() is None:
            self.process.kill()
        return self.process.wait()


# ----------------------------------------------------------------------------- the cases


def close_during_demonstration(run):
    """The window manager's close request stops a demonstration at once and ends with 0."""
    run.click(0)
    run.wait_for("Form1 Click Command1(0)", 10)
    time.sleep(2)
    operations = run.operations()
    check("Form1 Wait 50" in operations and "Form1 Return Command1(0)" not in operations,
          "the demonstration is not running 2 s after its click")
    last = run.trace()[-1][0]
    desktop.close(run.window)
    # The demonstration stops at once (Form1 End within 100 ms of the frame before; fail only well
    # above that on a noisy machine). The teardown may take longer: a sanitizer build checks the
    # heap on the way out. A demonstration that went on would take 25 s more.
    check(run.wait_exit(3) is not None, "the program still runs 3 s after the close request")
    trace = run.trace()
    check(trace[-1][1] == "Form1 End" and "Form1 Return Command1(0)" not in run.operations(),
          "the demonstration did not stop at the close: %s" % trace[-3:])
    check(trace[-1][0] - last <= 0.5, "Form1 End came %.0f ms after the last line before the "
          "close" % (1000 * (trace[-1][0] - last)))


def inner_planets(run):
    """On a German desktop (a decimal comma, from LC_ALL; the locale compiled for the tests,
    LOCPATH) the inner planets play on the real clock, for at least their 1800 frames of 3 ms,
    the very trace they play on the GUI tests' virtual clock in the C locale."""
    try:
        locale.setlocale(locale.LC_ALL, "de_DE.UTF-8")
    except locale.Error:
        raise Failure("no de_DE.UTF-8 locale to run in (LOCPATH=%s)" % os.environ.get("LOCPATH"))
    check(locale.localeconv()["decimal_point"] == ",", "de_DE.UTF-8 has no decimal comma here")
    run.click(7)
    run.wait_for("Form1 Return Command1(7)", 45)
    trace = run.trace()
    operations = [operation for _, operation in trace]
    start, end = operations.index("Form1 Click Command1(7)"), operations.index(
        "Form1 Return Command1(7)")
    played = hashlib.sha256("\n".join(operations[start:end + 1]).encode()).hexdigest()
    with open(GOLDEN) as f:
        golden = [fields[-1] for fields in map(str.split, f) if fields[:1] == ["command1_7"]]
    check(golden == [played], "the trace differs from command1_7 in tests/gui/golden_traces.txt")
    check(trace[end][0] - trace[start][0] >= 1800 * 0.003,
          "1800 frames of 3 ms took only %.2f s" % (trace[end][0] - trace[start][0]))
    check(run.process.poll() is None, "the program ended after the demonstration")


def answer_together_with_a_click(trigger, title, answer):
    """A case that opens a box with the trigger button, then answers it with Return in the same
    batch of X events as a click on 地球と火星の運動. Nothing may run after the answer: the trace
    ends with the answer's line and Form1 End, and the program ends within 1 s."""

    def case(run):
        run.click(trigger)
        check(desktop.find_window(title, 10), "no box titled %s within 10 s" % title)
        time.sleep(0.3)
        x, y = (a + b for a, b in zip(desktop.geometry(run.window), button(6)))
        desktop.key_and_click_together("Return", x, y)
        status = run.wait_exit(1)
        operations = run.operations()
        answered = [i for i, op in enumerate(operations) if op.startswith(answer)][:1]
        check(answered and operations[answered[0] + 1:] == ["Form1 End"], "the trace from %s...: %s"
              % (answer, operations[answered[0]:][:6] if answered else "no such line"))
        check(status is not None, "the program still runs 1 s after Return and the click")

    return case


def window_manager(run):
    """Under a window manager: the window opens at its own size with the Sun on the surface and a
    128x128 icon for the taskbar; maximised, it shows the layout magnified and a click at a
    magnified button's place reaches it (full screen by F11: tests/gui/scaling_test.cpp)."""
    check(desktop.geometry(run.window)[2:] == SIZE, "the window opened at %dx%d" %
          desktop.geometry(run.window)[2:])
    run.check_look()
    sizes = desktop.icon_sizes(run.window)
    check((128, 128) in sizes, "no 128x128 window icon for the taskbar: %s" % sizes)
    subprocess.run(["wmctrl", "-r", "Form1", "-b", "add,maximized_vert,maximized_horz"],
                   check=True)
    check(wait_until(lambda: desktop.geometry(run.window)[2] == 1920, 5),
          "the window manager did not maximise the window")
    run.show()
    run.check_look()
    run.click(5)
    run.wait_for("Form1 Click Command1(5)", 10)


def scale_factor_2(run):
    """At scale factor 2 on 1920x1080 the window opens scaled down so that all of it shows."""
    x, y, width, height = desktop.geometry(run.window)
    check(x >= 0 and y >= 0 and x + width <= 1920 and y + height <= 1080,
          "the window at %d,%d, %dx%d reaches beyond the screen" % (x, y, width, height))
    run.check_look()


Case = collections.namedtuple("Case", "run screen environment window_manager removed status",
                              defaults=("1280x800", {}, False, None, 0))
# Each case: what it does once the window shows, the X screen, the program's variables beside the
# trace's, whether openbox runs, the file removed from a copy of the asset folder, and the exit
# status expected.
CASES = {
    "close_during_demonstration": Case(close_during_demonstration),
    "inner_planets_comma_locale": Case(inner_planets, environment={"LC_ALL": "de_DE.UTF-8"}),
    "error_box_same_batch": Case(answer_together_with_a_click(8, "実行時エラー", "Form1 Error "),
                                 removed="kepler.bmp", status=1),
    "quit_same_batch": Case(answer_together_with_a_click(
        9, "確　　認", 'Form1 MsgBox "本当に終わりますか？" 4 "確　　認" = 6')),
    "window_manager": Case(window_manager, screen="1920x1080", window_manager=True),
    "scale_factor_2": Case(scale_factor_2, screen="1920x1080",
                           environment={"QT_SCALE_FACTOR": "2"}),
}


def run_case(args, case):
    """Runs the case on $DISPLAY; returns the exit status of this script."""
    manager = case.window_manager and subprocess.Popen(
        ["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if manager and not wait_until(
            lambda: subprocess.run(["wmctrl", "-m"], capture_output=True).returncode == 0, 10):
        manager.kill()
        print("FAILED: the window manager did not start")
        return 1
    run = Run(args, case)
    failure = None
    try:
        run.show()
        case.run(run)
    except Failure as error:
        failure = str(error)
    finally:
        status = run.end()
        if manager:
            manager.terminate()
            manager.wait()
    others = [line for line in run.stderr() if not TRACE.match(line)]
    if failure is None and status != case.status:
        failure = "the program ended with status %d, not %d" % (status, case.status)
    if failure is None and any(mark in line for line in others for mark in SANITIZERS):
        failure = "sanitizer messages from the program"
    if failure and not run.operations() and any(NO_DISPLAY_LINE in line for line in others):
        # The program could not connect to the X server started for it: a fault of the test's
        # machine, not of the program, which said so as it should. The case runs again.
        print("the program could not open the virtual display: " + failure)
        return DISPLAY_REFUSED
    if failure:
        print("FAILED: " + failure + "\nlast trace lines:\n  " +
              "\n  ".join(run.operations()[-15:]) + "\nother stderr lines:\n  " +
              "\n  ".join(others[-60:]))
    print(("full trace: " if failure else "passed; trace in ") + run.artifacts)
    return 1 if failure else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--program", required=True, type=os.path.abspath)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--artifacts", required=True, type=os.path.abspath)
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    case = CASES[args.case]
    missing = [tool for tool in ["Xvfb", "xdotool", "import"] +
               ["openbox", "wmctrl"] * case.window_manager if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing) + " (scripts/deps.sh test installs them)")
        return 77
    # Now and then, on a loaded machine, the program is refused by a fresh Xvfb that accepts other
    # clients; the case then runs once more on another one.
    for _ in range(3):
        # Xvfb picks a free display itself and says which once it accepts connections
        # (-displayfd): xvfb-run -a guesses a number from lock files, and two runs starting
        # together can take the same one, so that one program talks to the other's server.
        ready, told = os.pipe()
        server = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-nolisten", "tcp", "-screen",
                                   "0", case.screen + "x24"], pass_fds=(told,),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(told)
        with os.fdopen(ready) as answer:
            os.environ["DISPLAY"] = ":" + answer.readline().strip()
        try:
            status = run_case(args, case)
        finally:
            server.terminate()
            server.wait()
        if status != DISPLAY_REFUSED:
            return status
    print("FAILED: three X servers in a row refused the program")
    return 1


if __name__ == "__main__":
    sys.exit(main())
