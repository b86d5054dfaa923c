#!/usr/bin/env python3
"""End-to-end runs of the real kepler-laws window on a real X server: each case starts its own
Xvfb, starts the program from its asset folder with the forms trace on, drives it with xdotool and
Xlib (ctypes) and checks the screen, the trace and the exit status. They keep to what only a real
process on a real X server shows (start-up, the opening size on a real screen, a real clock's run,
a locale from the environment, the X close request, events arriving in one batch, a window
manager); what the window draws and does on its own is the GUI tests' (tests/gui).

Usage: run_case.py PROGRAM ASSET_DIR ARTIFACT_DIR CASE   (the cases: CASES below)
Exit status 0 passed, 1 failed, 77 skipped (a tool is missing). The trace and the last screenshot
of each run are left in ARTIFACT_DIR/CASE for a person to look at.
"""

import collections
import ctypes
import ctypes.util
import hashlib
import locale
import os
import re
import shutil
import subprocess
import sys
import time

try:  # libX11 and libXtst come with xdotool
    X11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    XTST = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
except OSError as error:
    print("skipped: %s (scripts/deps.sh test installs xdotool)" % error)
    sys.exit(77)
X11.XOpenDisplay.restype = ctypes.c_void_p
X11.XInternAtom.restype = ctypes.c_ulong
X11.XKeysymToKeycode.restype = ctypes.c_ubyte
# An X error (a request for a window that is gone) is ignored: Xlib's own handler would end this
# script at once, leaving the program and its X server running.
IGNORE_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda *_: 0)
X11.XSetErrorHandler(IGNORE_ERRORS)
Ulong = ctypes.c_ulong

SIZE = (989, 577)
SURFACE, YELLOW = (128, 128, 255), (255, 240, 0)
# Logical points of the window and their colours before any click: the Sun's disc (its centre at
# Picture1's (300, 250)), the surface round it, its far corner and the read-out strip below.
LOOK = [((300 + x, 291 + y), YELLOW) for x, y in [(0, 0), (8, 0), (-8, 0), (0, 8), (0, -8)]] + [
    (p, SURFACE) for p in [(314, 291), (286, 291), (300, 277), (798, 539), (790, 570), (20, 545)]]
TRACE = re.compile(r"^\s*([0-9.]+) kepler\.forms: (.*)$")
SANITIZERS = ("AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:")
# The program's line when it cannot open a display, and the exit code that asks for a new X server.
NO_DISPLAY_LINE = "画面（ディスプレイ）を開けませんでした"
DISPLAY_REFUSED = 75
GOLDEN = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "gui", "golden_traces.txt")


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def wait_until(predicate, timeout, poll=0.05):
    """The predicate's first true value within timeout [s], else its last value."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()) and time.monotonic() < deadline:
        time.sleep(poll)
    return value


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True).stdout


def find_window(title, timeout):
    """Id of the visible window with exactly this title, or None after timeout [s]."""
    ids = wait_until(lambda: xdotool("search", "--onlyvisible", "--name", "^%s$" % title), timeout)
    return ids and int(ids.split()[0])


def geometry(window):
    """(x, y, width, height) of a window; x and y are wrong once a window manager frames it."""
    values = dict(re.findall(r"(\w+)=(\d+)", xdotool("getwindowgeometry", "--shell", window)))
    return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def pixel(ppm, x, y):
    header = re.match(rb"P6\s+(\d+)\s+\d+\s+255\s", ppm)
    i = header.end() + 3 * (y * int(header[1]) + x)
    return tuple(ppm[i:i + 3])


class Run:
    """One case: the program started in its folder with the trace on (stderr in the case's folder
    of ARTIFACT_DIR), a connection of our own to the X server, the program's window and where the
    window shows its 989x577 logical pixels: magnified uniformly to the largest size that fits and
    centred, in device-independent pixels `ratio` screen pixels wide."""

    def __init__(self, args, case):
        self.x = ctypes.c_void_p(X11.XOpenDisplay(None) or sys.exit("cannot open the X display"))
        program, assets, artifacts = map(os.path.abspath, args[:3])
        self.artifacts = os.path.join(artifacts, args[3])
        shutil.rmtree(self.artifacts, ignore_errors=True)
        if case.removed:  # a copy of the asset folder without that file
            assets = shutil.copytree(assets, os.path.join(self.artifacts, "folder"))
            os.remove(os.path.join(assets, case.removed))
        # The lesson strip hidden, as a teacher leaves it, so that the window is the layout alone.
        config = os.path.join(self.artifacts, "config")
        os.makedirs(os.path.join(config, "kepler-laws"))
        with open(os.path.join(config, "kepler-laws", "kepler-laws.conf"), "w") as f:
            f.write("[lesson]\nstrip=false\n")
        env = {**os.environ, "QT_QPA_PLATFORM": "xcb", "LC_ALL": "C.UTF-8",
               "QT_LOGGING_RULES": "kepler.forms.debug=true", "XDG_CONFIG_HOME": config,
               "QT_MESSAGE_PATTERN": "%{time process} %{category}: %{message}", **case.environment}
        self.ratio = float(case.environment.get("QT_SCALE_FACTOR", 1))
        self.screen = tuple(map(int, case.screen.split("x")))
        self.log = os.path.join(self.artifacts, "stderr.log")
        with open(self.log, "wb") as log:
            self.process = subprocess.Popen([program], cwd=assets, env=env, stderr=log,
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

    def ended(self, timeout):
        """Whether the program has ended within timeout [s]."""
        return wait_until(lambda: self.process.poll() is not None, timeout)

    def point(self, x, y):
        """The pixel of the window's client area that shows the logical point (x, y)."""
        room = [length / self.ratio for length in geometry(self.window)[2:]]
        scale = min(r / s for r, s in zip(room, SIZE))
        return tuple(int(self.ratio * ((r - round(s * scale)) // 2 + p * scale))
                     for r, s, p in zip(room, SIZE, (x, y)))

    def shot(self):
        """A screenshot of the window's client area: ImageMagick's binary PPM, 8 bits a channel."""
        return subprocess.run(["import", "-window", str(self.window), "-depth", "8", "ppm:-"],
                              check=True, capture_output=True).stdout

    def show(self):
        """Waits for the window, no larger than the screen, for its first paint and a screen that
        stops changing; then the Sun and the surface must be each in its place."""
        self.window = find_window("Form1", 20)
        check(self.window, "the window Form1 did not appear within 20 s")
        size = geometry(self.window)[2:]
        check(all(map(int.__le__, size, self.screen)), "the window is larger: %dx%d" % size)
        shots = [None]

        def painted_and_settled():
            shots.append(self.shot())
            return pixel(shots[-1], *self.point(500, 71)) == SURFACE and shots[-1] == shots[-2]

        check(wait_until(painted_and_settled, 15, poll=0.1),
              "the window's surface was not painted, or kept changing, for 15 s")
        wrong = [(p, pixel(shots[-1], *self.point(*p))) for p, color in LOOK
                 if pixel(shots[-1], *self.point(*p)) != color]
        check(not wrong, "logical points of the wrong colour, and their colours: %s" % wrong)

    def click(self, i):
        """Clicks the middle of Command1(i) (i 0..7), Command2 (i 8) or Command3 (i 9)."""
        xdotool("mousemove", "--window", self.window, *self.point(891, 66 + 50 * i), "click", 1)

    def atom(self, name):
        return X11.XInternAtom(self.x, name.encode(), 0)

    def icon_size(self):
        """(width, height) of the first picture in _NET_WM_ICON, the taskbar's icon."""
        kind, bits, count, after = Ulong(), ctypes.c_int(), Ulong(), Ulong()
        icon = ctypes.POINTER(ctypes.c_long)()
        X11.XGetWindowProperty(self.x, Ulong(self.window), Ulong(self.atom("_NET_WM_ICON")),
                               ctypes.c_long(0), ctypes.c_long(2), 0, Ulong(0),
                               *map(ctypes.byref, (kind, bits, count, after, icon)))
        return tuple(icon[:count.value]) if count.value else ()

    def close(self):
        """Sends WM_DELETE_WINDOW as a window manager's close button does."""
        # An XClientMessageEvent as 24 longs: type 33 (ClientMessage), serial, send_event, display,
        # window, message_type, format and the data, whose data[1], the time, is CurrentTime.
        event = (ctypes.c_long * 24)(33, 0, 0, 0, self.window, self.atom("WM_PROTOCOLS"), 32,
                                     self.atom("WM_DELETE_WINDOW"))
        X11.XSendEvent(self.x, Ulong(self.window), 0, ctypes.c_long(0), ctypes.byref(event))
        X11.XSync(self.x, 0)

    def key_and_click_together(self, key, index):
        """Presses and releases a key, then clicks a button as click() does, as one batch: the fake
        events are queued in our connection and reach the server in one flush, so the program
        receives them together, as from a fast hand or a busy machine."""
        x, y = (a + b for a, b in zip(geometry(self.window), self.point(891, 66 + 50 * index)))
        code = X11.XKeysymToKeycode(self.x, Ulong(X11.XStringToKeysym(key.encode())))
        for down in (1, 0):
            XTST.XTestFakeKeyEvent(self.x, code, down, Ulong(0))
        XTST.XTestFakeMotionEvent(self.x, -1, x, y, Ulong(0))
        for down in (1, 0):
            XTST.XTestFakeButtonEvent(self.x, 1, down, Ulong(0))
        X11.XSync(self.x, 0)

    def end(self):
        """Ends the run as a window manager would, if it is still going; returns the status."""
        if self.process.poll() is None and self.window:
            subprocess.run(["import", "-window", "root", os.path.join(self.artifacts, "last.png")])
            self.close()
        if not self.ended(5):
            self.process.kill()
        return self.process.wait()


# ----------------------------------------------------------------------------- the cases


def window_manager(run):
    """Under a window manager: the window opens at its own size with a 128x128 icon for the
    taskbar; maximised, it shows the layout magnified, and a click at a magnified button's place
    starts that demonstration (full screen by F11: tests/gui/scaling_test.cpp). The manager's close
    request then stops the demonstration at once and the program ends with 0."""
    check(geometry(run.window)[2:] == SIZE, "the window opened at %dx%d" % geometry(run.window)[2:])
    check(run.icon_size() == (128, 128), "no 128x128 window icon: %s" % (run.icon_size(),))
    # Asked again until the manager lists the window among its clients and has maximised it.
    maximise = ["wmctrl", "-r", "Form1", "-b", "add,maximized_vert,maximized_horz"]
    check(wait_until(lambda: not subprocess.run(maximise, capture_output=True).returncode
                     and geometry(run.window)[2] == 1920, 5),
          "the window manager did not maximise the window")
    run.show()
    run.click(0)
    run.wait_for("Form1 Click Command1(0)", 10)
    time.sleep(2)
    last = run.trace()[-1][0]
    run.close()
    # The demonstration stops at once (Form1 End within 100 ms of the frame before; fail only well
    # above that on a noisy machine). The teardown may take longer: a sanitizer build checks the
    # heap on the way out. A demonstration that went on would take 25 s more.
    check(run.ended(3), "the program still runs 3 s after the close request")
    times, operations = zip(*run.trace())
    check("Form1 Wait 50" in operations and "Form1 Return Command1(0)" not in operations and
          operations[-1] == "Form1 End",
          "the demonstration was not running at the close, or went on: %s" % (operations[-3:],))
    check(times[-1] - last <= 0.5, "Form1 End came %.0f ms after the last line before the close"
          % (1000 * (times[-1] - last)))


def inner_planets(run):
    """On a German desktop (a decimal comma, from LC_ALL; the locale compiled for the tests,
    LOCPATH) the inner planets play on the real clock, for at least their 1800 frames of 3 ms,
    the very trace they play on the GUI tests' virtual clock in the C locale."""
    locale.setlocale(locale.LC_ALL, "de_DE.UTF-8")  # an error where LOCPATH lacks it
    check(locale.localeconv()["decimal_point"] == ",", "de_DE.UTF-8 has no decimal comma here")
    run.click(7)
    run.wait_for("Form1 Return Command1(7)", 45)
    times, operations = zip(*run.trace())
    start, end = (operations.index("Form1 %s Command1(7)" % s) for s in ("Click", "Return"))
    played = hashlib.sha256("\n".join(operations[start:end + 1]).encode()).hexdigest()
    with open(GOLDEN) as f:
        check(re.search("^command1_7 .* %s$" % played, f.read(), re.M),
              "the trace differs from command1_7 in tests/gui/golden_traces.txt")
    check(times[end] - times[start] >= 1800 * 0.003 and run.process.poll() is None,
          "1800 frames of 3 ms took only %.2f s, or the program ended after them" %
          (times[end] - times[start]))


def answer_together_with_a_click(trigger, title, answer):
    """A case that opens a box with the trigger button, then answers it with Return in the same
    batch of X events as a click on 地球と火星の運動. Nothing may run after the answer: the trace
    ends with the answer's line and Form1 End, and the program ends within 1 s."""

    def case(run):
        run.click(trigger)
        check(find_window(title, 10), "no box titled %s within 10 s" % title)
        time.sleep(0.3)
        run.key_and_click_together("Return", 6)
        check(run.ended(1), "the program still runs 1 s after Return and the click")
        check(run.operations()[-2].startswith(answer) and run.operations()[-1] == "Form1 End",
              "the trace ends otherwise")

    return case


Case = collections.namedtuple("Case", "run screen environment window_manager removed status",
                              defaults=("1280x800", {}, False, None, 0))
# Each case: what it does once the window shows, the X screen, the program's variables beside the
# trace's, whether openbox runs, the file removed from a copy of the asset folder, and the exit
# status expected. At scale factor 2 on 1920x1080 the window opens scaled down to fit (show()).
CASES = {
    "window_manager": Case(window_manager, screen="1920x1080", window_manager=True),
    "inner_planets_comma_locale": Case(inner_planets, environment={"LC_ALL": "de_DE.UTF-8"}),
    "error_box_same_batch": Case(answer_together_with_a_click(8, "実行時エラー", "Form1 Error "),
                                 removed="kepler.bmp", status=1),
    "quit_same_batch": Case(answer_together_with_a_click(
        9, "確　　認", 'Form1 MsgBox "本当に終わりますか？" 4 "確　　認" = 6'),
        screen="1920x1080", environment={"QT_SCALE_FACTOR": "2"}),
}


def run_case(args, case):
    """Runs the case on $DISPLAY; returns the exit status of this script."""
    manager = case.window_manager and subprocess.Popen(
        ["openbox", "--sm-disable"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    if manager:  # started once it answers; a case under no manager fails at the maximising
        wait_until(lambda: not subprocess.run(["wmctrl", "-m"], capture_output=True).returncode, 10)
    run = Run(args, case)
    failure = None
    try:
        run.show()
        case.run(run)
    except AssertionError as error:
        failure = str(error)
    finally:
        status = run.end()
        if manager:
            manager.kill()
    others = [line for line in run.stderr() if not TRACE.match(line)]
    if failure is None and (status != case.status or
                            any(mark in line for line in others for mark in SANITIZERS)):
        failure = "the program ended with status %d, or sanitizer messages below" % status
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
    case = CASES[sys.argv[4]]
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
        os.environ["DISPLAY"] = ":" + os.fdopen(ready).readline().strip()
        try:
            status = run_case(sys.argv[1:], case)
        finally:
            server.terminate()
            server.wait()
        if status != DISPLAY_REFUSED:
            return status
    print("FAILED: three X servers in a row refused the program")
    return 1


if __name__ == "__main__":
    sys.exit(main())
