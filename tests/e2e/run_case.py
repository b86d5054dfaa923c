#!/usr/bin/env python3
"""End-to-end runs of the real kepler-laws window: each case starts its own Xvfb, starts the
program from its asset folder with the forms trace on, drives it with xdotool like a student
would and checks what the screen and the trace show.

Usage: run_case.py --program PATH --assets DIR --artifacts DIR CASE
Cases: start_up, laws_picture, quit_confirmation, close_during_demonstration, inner_planets,
comma_locale, faces_and_keys, error_box_same_batch, quit_same_batch, projector, window_manager,
scale_factor_2.
Exit status 0 passed, 1 failed, 77 skipped (a tool is missing). Screenshots and the trace of
each run are left in ARTIFACTS/CASE for a person to look at.
"""

import argparse
import locale
import math
import os
import re
import shutil
import subprocess
import sys
import time

import desktop

# The X screen of each case: the window at its own size on a common screen, or on a projector's.
SCREENS = {"projector": "1920x1080", "window_manager": "1920x1080", "scale_factor_2": "1920x1080"}
DEFAULT_SCREEN = "1280x800"
# Variables the program of a case starts with, beside the trace's.
CASE_ENVIRONMENT = {"scale_factor_2": {"QT_SCALE_FACTOR": "2"},
                    "comma_locale": {"LC_ALL": "de_DE.UTF-8"}}
# Cases that run under a window manager, and the tools they need besides the common ones.
WINDOW_MANAGER_CASES = {"window_manager": ("openbox", "wmctrl")}

# Without a window manager the window sits at the screen's top-left corner, without a frame.
WINDOW_SIZE = (989, 577)
PICTURE1 = (0, 41, 800, 500)  # left, top, width, height [px] on the screen
SUN_CENTRE = (300, 291)  # Picture1 (300, 250) on the screen
SURFACE = (128, 128, 255)
SUN_YELLOW = (255, 240, 0)
MARGIN = (224, 224, 224)
TITLE_BAND = (255, 224, 192)


BUTTONS = ["Command1(%d)" % i for i in range(8)] + ["Command2", "Command3"]
BUTTON_FACE = (255, 255, 200)
BUTTON_TEXT = (0, 0, 0)


def button_centre(name):
    """Screen point in the middle of a button: Command1(0..7), then Command2, then Command3."""
    return 891, 66 + 50 * BUTTONS.index(name)


def focus_mark(screen, name):
    """Whether the button shows its dotted focus mark: dots four pixels in from its corner."""
    x, y = 801, 41 + 50 * BUTTONS.index(name)
    dots = [screen.pixel(x + 4, y + 4), screen.pixel(x + 5, y + 4), screen.pixel(x + 4, y + 8)]
    return all(dot == BUTTON_TEXT for dot in dots) and screen.pixel(x + 6, y + 4) == BUTTON_FACE


STARTUP_CAPTIONS = {
    "Label1": "ケプラーの第１・第２法則による惑星の運動       Ver2.00",
    "Label9": "運動が止まってから他のボタンを選択してください",
    "Command1(0)": "　　 離心率 0.000",
    "Command1(1)": "地球 離心率 0.017",
    "Command1(2)": "火星 離心率 0.093",
    "Command1(3)": "水星 離心率 0.206",
    "Command1(4)": "　　 離心率 0.500",
    "Command1(5)": "ﾊﾚｰ彗星 離心率 0.967",
    "Command1(6)": "　地球と火星の運動　",
    "Command1(7)": "　内 惑 星 の 運 動　",
    "Command2": "　ケプラーの法則　",
    "Command3": "　お  わ  り  ",
}

QUIT_PROMPT = 'Form1 MsgBox "本当に終わりますか？" 4 "確　　認"'
CONFIRM_TITLE = "確　　認"
ERROR_TITLE = "実行時エラー"
LAST_DAY = 'Label5 Caption "　　　　　　　　　　　　 360　日経過"'

SANITIZER_MARKS = ("AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer",
                   "runtime error:")

TRACE_LINE = re.compile(r"^\s*([0-9.]+) kepler\.forms: (.*)$")


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_until(predicate, timeout, poll=0.05):
    """The predicate's first true value within timeout [s], else None."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() > deadline:
            return None
        time.sleep(poll)


def colour_near(actual, expected, tolerance=0):
    return all(abs(a - e) <= tolerance for a, e in zip(actual, expected))


class Program:
    """kepler-laws running in the asset folder with the trace on; stderr goes to a file."""

    def __init__(self, program, folder, artifacts, environment=None):
        self.log_path = os.path.join(artifacts, "stderr.log")
        self.log = open(self.log_path, "wb")
        env = dict(os.environ)
        env.update({
            "QT_QPA_PLATFORM": "xcb",
            "QT_LOGGING_RULES": "kepler.forms.debug=true",
            "QT_MESSAGE_PATTERN": "%{time process} %{category}: %{message}",
            "LC_ALL": "C.UTF-8",
        })
        # The lesson strip hidden, as a teacher leaves it, so that the window is the layout alone.
        config = os.path.join(artifacts, "config")
        os.makedirs(os.path.join(config, "kepler-laws"), exist_ok=True)
        with open(os.path.join(config, "kepler-laws", "kepler-laws.conf"), "w") as f:
            f.write("[lesson]\nstrip=false\n")
        env["XDG_CONFIG_HOME"] = config
        env.update(environment or {})
        self.process = subprocess.Popen([program], cwd=folder, env=env,
                                        stdout=subprocess.DEVNULL, stderr=self.log)
        self.window = None

    def stderr_lines(self):
        with open(self.log_path, "rb") as f:
            return f.read().decode("utf-8", "replace").splitlines()

    def trace(self):
        """The trace as (time [s], operation) pairs."""
        pairs = []
        for line in self.stderr_lines():
            match = TRACE_LINE.match(line)
            if match:
                pairs.append((float(match.group(1)), match.group(2)))
        return pairs

    def operations(self):
        return [operation for _, operation in self.trace()]

    def has(self, operation):
        return operation in self.operations()

    def wait_for_operation(self, operation, timeout):
        return wait_until(lambda: self.has(operation), timeout)

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout):
        """Exit status, polled every millisecond, or None if still running after timeout [s]."""
        deadline = time.monotonic() + timeout
        while time.monotonic() <= deadline:
            status = self.process.poll()
            if status is not None:
                return status
            time.sleep(0.001)
        return None

    def stderr_size(self):
        return os.path.getsize(self.log_path)

    def wait_exit_noting(self, text, offset, timeout):
        """Like wait_exit, and also notes when text first appears in stderr after byte offset:
        returns the status and the time.monotonic() of that moment (None if it never did)."""
        needle = text.encode("utf-8")
        deadline = time.monotonic() + timeout
        with open(self.log_path, "rb") as log:
            log.seek(offset)
            tail = b""
            seen = None
            while time.monotonic() <= deadline:
                status = self.process.poll()
                if seen is None:
                    tail = tail[-len(needle):] + log.read()
                    if needle in tail:
                        seen = time.monotonic()
                if status is not None:
                    return status, seen
                time.sleep(0.001)
        return None, seen

    def show_window(self):
        self.window = desktop.find_window("Form1", 20)
        check(self.window is not None, "the window Form1 did not appear within 20 s")
        # The first paint has reached the screen once the drawing surface is there and two
        # screenshots in a row agree.
        left, top, _, _ = PICTURE1
        painted = wait_until(lambda: desktop.screenshot().pixel(left + 500, top + 30) == SURFACE,
                             10, poll=0.1)
        check(painted, "the window appeared but its drawing surface was not painted within 10 s")
        wait_settled()

    def close(self):
        """Ends the run as a window manager would, if it is still going; returns the status."""
        if self.running() and self.window is not None:
            request = desktop.CloseRequest(self.window)
            request.send()
            request.close()
            status = self.wait_exit(5)
            if status is not None:
                return status
        if self.running():
            self.process.kill()
        return self.process.wait()

    def error_lines(self):
        """The program's own error lines on stderr."""
        return [line for line in self.stderr_lines() if line.startswith("kepler-laws: ")]

    def sanitizer_reports(self):
        return [line for line in self.stderr_lines() if any(m in line for m in SANITIZER_MARKS)]


class Run:
    """One case: the artifacts folder, the program and the screenshots kept for a person."""

    def __init__(self, args):
        self.args = args
        self.artifacts = os.path.join(args.artifacts, args.case)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        os.makedirs(self.artifacts)
        folder = args.assets
        prepare = FOLDERS.get(args.case)
        if prepare is not None:
            # A copy of the program's files that the case changes.
            folder = os.path.join(self.artifacts, "folder")
            shutil.copytree(args.assets, folder)
            prepare(folder)
        self.expected_status = 0
        self.program = Program(args.program, folder, self.artifacts,
                               CASE_ENVIRONMENT.get(args.case))

    def shot(self, name):
        image = desktop.screenshot()
        image.save_png(os.path.join(self.artifacts, name + ".png"))
        return image


def window_of(screen):
    return screen.crop(0, 0, *WINDOW_SIZE)


def wait_settled():
    """Waits until two screenshots in a row agree."""
    previous = [None]

    def settled():
        current = desktop.screenshot()
        same = previous[0] is not None and current.rgb == previous[0].rgb
        previous[0] = current
        return same

    check(wait_until(settled, 10, poll=0.1), "the screen kept changing for 10 s")


class Layout:
    """Where a window whose client area lies at (x, y, width, height) on the screen [px] shows the
    989x577 logical pixels: magnified uniformly to the largest size that fits and centred, in the
    window's device-independent pixels, each `ratio` screen pixels wide."""

    def __init__(self, x, y, width, height, ratio=1):
        self.x, self.y, self.ratio = x, y, ratio
        wide, high = width / ratio, height / ratio
        self.scale = min(wide / WINDOW_SIZE[0], high / WINDOW_SIZE[1])
        self.left = (wide - round(WINDOW_SIZE[0] * self.scale)) // 2
        self.top = (high - round(WINDOW_SIZE[1] * self.scale)) // 2

    def point(self, x, y):
        """The screen pixel showing the logical point (x, y) of the window."""
        return (int(self.x + self.ratio * (self.left + x * self.scale)),
                int(self.y + self.ratio * (self.top + y * self.scale)))


def check_colours(screen, layout, points, expected, what):
    for point in points:
        at = layout.point(*point)
        colour = screen.pixel(*at)
        check(colour == expected, "%s at logical %s (screen %s) is %s, not %s" %
              (what, point, at, colour, expected))


def layout_of(window, ratio=1):
    return Layout(*desktop.client_area(window), ratio=ratio)


def sun_sample_points():
    """Points within 8 px of the Sun's centre, on the axes, the diagonals and in between."""
    cx, cy = SUN_CENTRE
    offsets = [(0, 0), (8, 0), (-8, 0), (0, 8), (0, -8), (5, 5), (-5, 5), (5, -5), (-5, -5),
               (3, -7), (-7, 2), (2, 4)]
    return [(cx + dx, cy + dy) for dx, dy in offsets]


def background_sample_points():
    """Points of the empty drawing surface: a ring round the Sun and the surface's corners,
    away from the picture controls that sit on the surface at start-up."""
    cx, cy = SUN_CENTRE
    ring = [(cx + 14, cy), (cx - 14, cy), (cx, cy + 14), (cx, cy - 14), (cx + 40, cy + 40),
            (cx - 40, cy - 40)]
    left, top, width, height = PICTURE1
    corners = [(left + 500, top + 30), (left + width - 2, top + 30), (left + width - 2,
                                                                      top + height - 2),
               (left + 600, top + height - 2), (left + 450, top + 250)]
    return ring + corners


# ----------------------------------------------------------------------------- the cases


def case_start_up(run):
    program = run.program
    program.show_window()
    x, y, width, height = desktop.window_geometry(program.window)
    print("window at %d,%d, client area %dx%d" % (x, y, width, height))
    check((x, y) == (0, 0), "the window is at %d,%d, not at the top-left corner" % (x, y))
    check((width, height) == WINDOW_SIZE, "the client area is %dx%d, not %dx%d" %
          ((width, height) + WINDOW_SIZE))

    screen = run.shot("start_up")
    for point in sun_sample_points():
        colour = screen.pixel(*point)
        check(colour == SUN_YELLOW, "the Sun at %s is %s, not %s" % (point, colour, SUN_YELLOW))
    for point in background_sample_points():
        colour = screen.pixel(*point)
        check(colour == SURFACE, "the surface at %s is %s, not %s" % (point, colour, SURFACE))
    print("Sun yellow at %d points, surface blue at %d points" %
          (len(sun_sample_points()), len(background_sample_points())))

    captions = {}
    for operation in program.operations():
        match = re.match(r'^(\S+) Caption "(.*)"$', operation)
        if match:
            captions[match.group(1)] = match.group(2)
    for control, expected in STARTUP_CAPTIONS.items():
        check(control in captions, "no caption was given to %s" % control)
        check(captions[control] == expected,
              "%s shows %r, not %r" % (control, captions[control], expected))
    print("all %d captions right" % len(STARTUP_CAPTIONS))

    sizes = desktop.icon_sizes(program.window)
    print("window icon sizes: %s" % sizes)
    check((128, 128) in sizes, "the window carries no 128x128 icon for the taskbar")


def case_laws_picture(run):
    program = run.program
    program.show_window()
    bitmap = desktop.read_picture(os.path.join(run.args.assets, "kepler.bmp"))
    left, top, width, height = PICTURE1
    check((bitmap.width, bitmap.height) == (width, height),
          "kepler.bmp is %dx%d, not the surface's %dx%d" %
          (bitmap.width, bitmap.height, width, height))
    plain = run.shot("before").crop(*PICTURE1)

    desktop.click(*button_centre("Command2"))
    check(program.wait_for_operation("Form1 Return Command2", 10),
          "Command2's handler did not return within 10 s")
    check(program.has('Image3 Picture "kepler.bmp"'), "the trace has no Image3 Picture kepler.bmp")
    check(program.has("Image3 Visible True"), "the trace has no Image3 Visible True")

    # Sample points where the diagram is not the surface's own colour, so that a plain surface
    # cannot pass, spread over the picture below the top band, where the surface's labels stay
    # above the picture.
    samples = []
    for y in range(40, height, 47):
        for x in range(20, width, 61):
            neighbourhood = {bitmap.pixel(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)}
            if len(neighbourhood) == 1 and bitmap.pixel(x, y) != SURFACE:
                samples.append((x, y))
    check(len(samples) >= 5, "kepler.bmp has only %d flat non-surface sample points" %
          len(samples))
    samples = [samples[i * (len(samples) - 1) // 4] for i in range(5)]

    # The repaint that shows the picture follows the handler by up to a refresh or two (longer in
    # a sanitizer build): wait for the whole picture, not for the first changed pixel.
    def picture_shown():
        area = desktop.screenshot().crop(*PICTURE1)
        return area if all(area.pixel(x, y) == bitmap.pixel(x, y) for x, y in samples) else None

    shown = wait_until(picture_shown, 5, poll=0.1) or desktop.screenshot().crop(*PICTURE1)
    run.shot("laws_picture")
    changed, _ = shown.differing_pixels(plain)
    check(changed > 0, "the surface did not change within 5 s of the click")
    for x, y in samples:
        check(shown.pixel(x, y) == bitmap.pixel(x, y),
              "the picture at Picture1 (%d,%d) is %s, kepler.bmp has %s" %
              (x, y, shown.pixel(x, y), bitmap.pixel(x, y)))
    same = width * height - shown.differing_pixels(bitmap)[0]
    print("%d surface pixels changed; %d sample points match kepler.bmp: %s; "
          "%.1f%% of the surface equals kepler.bmp" %
          (changed, len(samples), samples, 100.0 * same / (width * height)))


def case_quit_confirmation(run):
    program = run.program
    program.show_window()
    quit_button = button_centre("Command3")
    desktop.move_pointer(*quit_button)
    time.sleep(0.3)
    before = window_of(run.shot("before"))

    # いいえ: the box goes and everything stays as it was.
    desktop.click(*quit_button)
    box = desktop.find_window(CONFIRM_TITLE, 10)
    check(box is not None, "no box titled %s within 10 s of the click" % CONFIRM_TITLE)
    bx, by, bw, bh = desktop.window_geometry(box)
    print("confirmation box at %d,%d, %dx%d" % (bx, by, bw, bh))
    time.sleep(0.3)
    run.shot("confirmation")
    # The two buttons sit side by side at the bottom, はい left, いいえ right.
    no_button = (bx + bw - 51, by + bh - 24)
    desktop.click(*no_button)
    check(program.wait_for_operation(QUIT_PROMPT + " = 7", 10),
          "the box did not answer いいえ (7) within 10 s of a click at %s" % (no_button,))
    check(program.wait_for_operation("Form1 Return Command3", 5),
          "Command3's handler did not return after いいえ")
    check(wait_until(lambda: desktop.find_window(CONFIRM_TITLE, 0) is None, 5),
          "the box is still shown after いいえ")
    time.sleep(0.5)
    check(program.running(), "the program ended after いいえ")
    check(not program.has("Form1 End"), "the trace has Form1 End after いいえ")
    desktop.move_pointer(*quit_button)

    def same_as_before():
        return window_of(desktop.screenshot()).differing_pixels(before)[0] == 0

    if not wait_until(same_as_before, 3, poll=0.2):
        count, box_px = window_of(run.shot("after_no")).differing_pixels(before)
        raise Failure("after いいえ %d window pixels differ from before, within %s" %
                      (count, box_px))
    run.shot("after_no")
    print("いいえ: answer 7, window unchanged, program still running")

    # はい (the default button, pressed with Return) ends the program with status 0.
    desktop.click(*quit_button)
    check(desktop.find_window(CONFIRM_TITLE, 10) is not None,
          "no box on the second click of Command3")
    time.sleep(0.3)
    pressed = time.monotonic()
    desktop.key("Return")
    status = program.wait_exit(1)
    elapsed = time.monotonic() - pressed
    check(status is not None, "the program still runs 1 s after はい")
    print("はい: exit status %d after %.0f ms" % (status, 1000 * elapsed))
    check(status == 0, "exit status %d after はい" % status)
    operations = program.operations()
    check(operations[-2:] == [QUIT_PROMPT + " = 6", "Form1 End"],
          "the trace does not end with the answer 6 and Form1 End: %s" % operations[-3:])


def case_close_during_demonstration(run):
    program = run.program
    program.show_window()
    request = desktop.CloseRequest(program.window)
    check(request.window_accepts_it(), "the window does not list WM_DELETE_WINDOW")

    desktop.click(*button_centre("Command1(0)"))
    clicked = time.monotonic()
    check(program.wait_for_operation("Form1 Click Command1(0)", 10),
          "no Click Command1(0) in the trace within 10 s")
    time.sleep(max(0.0, clicked + 2.0 - time.monotonic()))
    run.shot("during_demonstration")
    operations = program.operations()
    waits = operations.count("Form1 Wait 50")
    check(waits > 0, "the demonstration has not waited once 2 s after the click")
    check("Form1 Return Command1(0)" not in operations,
          "the demonstration returned within 2 s; nothing to interrupt")

    offset = program.stderr_size()
    request.send()
    sent = time.monotonic()
    status, ended = program.wait_exit_noting("kepler.forms: Form1 End", offset, 5)
    elapsed_ms = 1000 * (time.monotonic() - sent)
    request.close()
    check(status is not None, "the program still runs 5 s after the close request")
    check(ended is not None, "the program exited without tracing Form1 End")
    print("closed during the demonstration after %d frames: Form1 End traced %.1f ms and the "
          "process gone (status %d) %.1f ms after the close request" %
          (waits, 1000 * (ended - sent), status, elapsed_ms))
    check(status == 0, "exit status %d after closing the window" % status)
    # The demonstration stops at once (Form1 End within 100 ms; fail only well above that on a
    # noisy machine). The process's own teardown may take longer: a sanitizer build checks the
    # whole heap for leaks on the way out. A demonstration that went on would take 25 s more.
    check(ended - sent <= 0.5, "Form1 End came %.0f ms after the close" % (1000 * (ended - sent)))
    check(elapsed_ms <= 3000, "the program took %.0f ms to end after the close" % elapsed_ms)
    operations = program.operations()
    check(operations[-1] == "Form1 End", "the trace does not end with Form1 End: %s" %
          operations[-3:])
    check("Form1 Return Command1(0)" not in operations,
          "the demonstration returned normally instead of stopping")


def check_last_frame_shown(assets, operations, screen):
    """The three bodies are on the screen exactly where the last frame put them: every opaque
    pixel of their pictures, later bodies above earlier ones, as the window stacks them."""
    left, top, _, _ = PICTURE1
    expected = {}
    for image, picture_file in (("Image1", "earth02.gif"), ("Image2", "suisei02.gif"),
                                ("Image4", "Venus01.gif")):
        places = {}
        for operation in operations:
            match = re.match(r"^%s (Left|Top) (\S+)$" % image, operation)
            if match:
                places[match.group(1)] = math.floor(float(match.group(2)) + 0.5)
        picture = desktop.read_picture_with_alpha(os.path.join(assets, picture_file))
        for y in range(picture.height):
            for x in range(picture.width):
                r, g, b, a = picture.pixel(x, y)
                if a == 255:
                    expected[(left + places["Left"] + x, top + places["Top"] + y)] = (r, g, b)
    wrong = [point for point, colour in expected.items() if screen.pixel(*point) != colour]
    print("last frame: %d of %d body pixels on the screen as drawn" %
          (len(expected) - len(wrong), len(expected)))
    check(not wrong, "%d body pixels of the last frame are not on the screen, e.g. at %s" %
          (len(wrong), wrong[:3]))


def case_inner_planets(run):
    program = run.program
    program.show_window()
    desktop.click(*button_centre("Command1(7)"))
    check(program.wait_for_operation("Form1 Return Command1(7)", 45),
          "the inner planets did not finish within 45 s")
    run.shot("inner_planets_end")
    trace = program.trace()
    operations = [operation for _, operation in trace]
    start = operations.index("Form1 Click Command1(7)")
    end = operations.index("Form1 Return Command1(7)")
    played = operations[start:end]
    waits = played.count("Form1 Wait 3")
    days = [operation for operation in played if operation.startswith("Label5 Caption ")]
    seconds = trace[end][0] - trace[start][0]
    print("inner planets: %d waits of 3 ms in %.2f s, last read-out %s" %
          (waits, seconds, days[-1] if days else None))
    check(waits == 1800, "%d frames played, not 1800" % waits)
    check(days and days[-1] == LAST_DAY, "the last day read-out is %s" %
          (days[-1] if days else "missing"))
    check_last_frame_shown(run.args.assets, played, run.shot("inner_planets_last_frame"))
    # Every frame waits at least 3 ms on a steady clock.
    check(seconds >= 1800 * 0.003, "1800 frames of 3 ms took only %.2f s" % seconds)
    check(program.running(), "the program ended after the demonstration")


def case_comma_locale(run):
    """On a German desktop (a decimal comma; the locale compiled for the tests, LOCPATH) the
    inner planets count their days as anywhere else."""
    try:
        locale.setlocale(locale.LC_ALL, "de_DE.UTF-8")
    except locale.Error:
        raise Failure("no de_DE.UTF-8 locale to run in (LOCPATH=%s)" % os.environ.get("LOCPATH"))
    check(locale.localeconv()["decimal_point"] == ",", "de_DE.UTF-8 has no decimal comma here")
    case_inner_planets(run)
    captions = [op for op in run.program.operations() if " Caption " in op and "," in op]
    check(not captions, "captions with a comma: %s" % captions[:3])


def case_faces_and_keys(run):
    """The keyboard alone, as a presenter's remote drives it, from the focus the window starts
    with once it has the keyboard."""
    program = run.program
    program.show_window()
    desktop.focus_window(program.window)
    check(wait_until(lambda: focus_mark(desktop.screenshot(), "Command1(0)"), 5, poll=0.1),
          "no focus mark on Command1(0) within 5 s of the window getting the keyboard")
    run.shot("focus_at_start")
    for _ in range(9):
        desktop.key("Tab")
    check(wait_until(lambda: focus_mark(desktop.screenshot(), "Command3"), 5, poll=0.1),
          "nine Tabs did not bring the focus mark to Command3")
    desktop.key("Return")
    check(desktop.find_window(CONFIRM_TITLE, 10) is not None,
          "Return on the focused Command3 did not open the confirmation box")
    time.sleep(0.3)
    run.shot("confirmation")
    desktop.key("y")
    status = program.wait_exit(5)
    check(status == 0, "Y did not end the program with status 0 (status %s)" % status)
    operations = program.operations()
    check(operations[-2:] == [QUIT_PROMPT + " = 6", "Form1 End"],
          "the trace does not end with the answer 6 and Form1 End: %s" % operations[-3:])
    print("focus mark on Command1(0) at start, nine Tabs to Command3, Return opened the box, "
          "Y answered 6")


def answer_together_with_a_click(run, trigger, title, answer_trace, status_wanted):
    """Opens a box with the trigger button, then answers it with Return in the same batch of
    events as a click on 地球と火星の運動. Nothing may run after the answer: the trace ends with
    the answer's line and Form1 End, and the program ends within 1 s."""
    program = run.program
    program.show_window()
    run.expected_status = status_wanted
    desktop.click(*button_centre(trigger))
    check(desktop.find_window(title, 10) is not None, "no box titled %s within 10 s" % title)
    time.sleep(0.3)
    run.shot("box")
    sent = time.monotonic()
    desktop.key_and_click_together("Return", *button_centre("Command1(6)"))
    status = program.wait_exit(1)
    elapsed_ms = 1000 * (time.monotonic() - sent)
    operations = program.operations()
    answered = [i for i, operation in enumerate(operations) if operation.startswith(answer_trace)]
    check(answered, "the trace has no line %s..." % answer_trace)
    after = operations[answered[0] + 1:]
    print("status %s %.0f ms after Return and the click; traced after the answer: %s" %
          (status, elapsed_ms, after[:6]))
    check(status is not None, "the program still runs 1 s after Return and the click")
    check(status == status_wanted, "exit status %d, not %d" % (status, status_wanted))
    check(after == ["Form1 End"], "after %s the trace goes on: %s" % (answer_trace, after[:6]))
    return program


def case_error_box_same_batch(run):
    program = answer_together_with_a_click(run, "Command2", ERROR_TITLE, "Form1 Error ", 1)
    errors = program.error_lines()
    print("stderr: %s" % errors)
    check(len(errors) == 1, "%d kepler-laws lines on stderr, not 1" % len(errors))


def case_quit_same_batch(run):
    answer_together_with_a_click(run, "Command3", CONFIRM_TITLE, QUIT_PROMPT + " = 6", 0)


# Cases that run in a copy of the asset folder, and how each changes it.
def _without(name):
    return lambda folder: os.remove(os.path.join(folder, name))


FOLDERS = {
    "error_box_same_batch": _without("kepler.bmp"),
}

def case_projector(run):
    """Maximised on a 1920x1080 projector (without a window manager: resized to the screen)."""
    program = run.program
    program.show_window()
    desktop.resize_window(program.window, 1920, 1080)
    check(wait_until(lambda: desktop.window_geometry(program.window)[2:] == (1920, 1080), 5),
          "the window did not take the screen's size")
    wait_settled()
    layout = layout_of(program.window)
    print("window scaled by %.4f, client area from x %d" % (layout.scale, layout.left))
    check(abs(layout.scale - 1080 / 577) < 1e-9, "the layout scales by %f" % layout.scale)
    screen = run.shot("projector")
    check_colours(screen, layout, sun_sample_points(), SUN_YELLOW, "the Sun")
    check_colours(screen, layout, background_sample_points(), SURFACE, "the surface")
    margins = [(x, y) for x in (0, int(layout.left) - 1, 1919 - int(layout.left) + 1, 1919)
               for y in (0, 540, 1079)]
    for point in margins:
        check(screen.pixel(*point) == MARGIN, "the margin at %s is %s" %
              (point, screen.pixel(*point)))
    print("Sun, surface and margins right at the scaled places")

    desktop.click(*layout.point(*button_centre("Command1(3)")))
    check(program.wait_for_operation("Form1 Click Command1(3)", 10),
          "a click at the scaled centre of Command1(3) did not reach it")
    check(program.wait_for_operation('Image1 Picture "suisei02.gif"', 10),
          "Command1(3) did not start Mercury")
    time.sleep(2)
    run.shot("projector_mercury")
    print("the scaled Command1(3) started Mercury")


def case_window_manager(run):
    """Maximise, full screen with F11 and back with Esc, as a window manager does them."""
    program = run.program
    program.window = desktop.find_window("Form1", 20)
    check(program.window is not None, "the window Form1 did not appear within 20 s")
    x, y, width, height = desktop.client_area(program.window)
    check((width, height) == WINDOW_SIZE, "the window opened at %dx%d" % (width, height))
    wait_settled()
    run.shot("opened")

    subprocess.run(["wmctrl", "-r", "Form1", "-b", "add,maximized_vert,maximized_horz"],
                   check=True)
    check(wait_until(lambda: desktop.client_area(program.window)[2] == 1920, 5),
          "the window manager did not maximise the window")
    wait_settled()
    layout = layout_of(program.window)
    print("maximised: client area %s, scale %.4f" % (desktop.client_area(program.window),
                                                     layout.scale))
    screen = run.shot("maximised")
    check_colours(screen, layout, sun_sample_points(), SUN_YELLOW, "the Sun")

    desktop.click(*layout.point(*button_centre("Command1(5)")))
    check(program.wait_for_operation("Form1 Click Command1(5)", 10), "the comet did not start")
    time.sleep(8)
    desktop.key("F11")
    check(wait_until(lambda: desktop.client_area(program.window) == (0, 0, 1920, 1080), 5),
          "F11 did not make the window full screen")
    time.sleep(1)
    screen = run.shot("full_screen_comet")
    layout = layout_of(program.window)
    check(not program.has("Form1 Return Command1(5)"), "the comet ended before the screenshot")
    check_colours(screen, layout, [(400, 5), (100, 30)], TITLE_BAND, "the title strip")
    check_colours(screen, layout, [(790, 490), (20, 565)], SURFACE, "the surface")
    for point in ((0, 540), (1919, 540)):
        check(screen.pixel(*point) == MARGIN, "the margin at %s is %s" %
              (point, screen.pixel(*point)))
    print("full screen: 1920x1080, scale %.4f, comet playing" % layout.scale)

    desktop.key("Escape")
    check(wait_until(lambda: desktop.client_area(program.window)[3] < 1080, 5),
          "Esc did not leave full screen")
    print("Esc: back to %s" % (desktop.client_area(program.window),))


def case_scale_factor_2(run):
    """At scale factor 2 on 1920x1080 the window opens scaled down so that all of it shows."""
    program = run.program
    program.window = desktop.find_window("Form1", 20)
    check(program.window is not None, "the window Form1 did not appear within 20 s")
    x, y, width, height = desktop.client_area(program.window)
    print("window at %d,%d, %dx%d screen pixels" % (x, y, width, height))
    check(x >= 0 and y >= 0 and x + width <= 1920 and y + height <= 1080,
          "the window reaches beyond the 1920x1080 screen")
    layout = Layout(x, y, width, height, ratio=2)
    check(layout.scale < 1, "the window was not scaled down (scale %f)" % layout.scale)
    check(wait_until(lambda: desktop.screenshot().pixel(*layout.point(500, 71)) == SURFACE, 10,
                     poll=0.1), "the drawing surface was not painted")
    wait_settled()
    screen = run.shot("scale_factor_2")
    check_colours(screen, layout, sun_sample_points(), SUN_YELLOW, "the Sun")
    # The bottom of the window: the read-out strip, and the last button beside it.
    check_colours(screen, layout, [(790, 570), (20, 545)], SURFACE, "the read-out strip")
    face = screen.pixel(*layout.point(811, 530))
    check(colour_near(face, BUTTON_FACE, 40), "Command3's face at the bottom is %s" % (face,))
    print("scaled by %.4f in device-independent pixels; Sun, read-out strip and Command3 shown" %
          layout.scale)


CASES = {
    "start_up": case_start_up,
    "laws_picture": case_laws_picture,
    "quit_confirmation": case_quit_confirmation,
    "close_during_demonstration": case_close_during_demonstration,
    "inner_planets": case_inner_planets,
    "comma_locale": case_comma_locale,
    "faces_and_keys": case_faces_and_keys,
    "error_box_same_batch": case_error_box_same_batch,
    "quit_same_batch": case_quit_same_batch,
    "projector": case_projector,
    "window_manager": case_window_manager,
    "scale_factor_2": case_scale_factor_2,
}


def run_inside_display(args):
    window_manager = None
    if args.case in WINDOW_MANAGER_CASES:
        window_manager = subprocess.Popen(["openbox", "--sm-disable"], stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL)
        running = wait_until(lambda: subprocess.run(["wmctrl", "-m"], stdout=subprocess.DEVNULL,
                                                     stderr=subprocess.DEVNULL).returncode == 0, 10)
        if not running:
            print("FAILED: the window manager did not start")
            window_manager.kill()
            return 1
    try:
        return run_case(args)
    finally:
        if window_manager is not None:
            window_manager.terminate()
            window_manager.wait()


def run_case(args):
    run = Run(args)
    program = run.program
    failure = None
    try:
        CASES[args.case](run)
    except Failure as error:
        failure = str(error)
    finally:
        status = program.close()
    reports = program.sanitizer_reports()
    others = [line for line in program.stderr_lines() if not TRACE_LINE.match(line)]
    if failure is None and status != run.expected_status:
        failure = "the program ended with status %d" % status
    if failure is None and reports:
        failure = "sanitizer messages from the program"
    if failure is not None and not program.operations() and any(
            NO_DISPLAY_LINE in line for line in others):
        # The program could not connect to the X server started for it: a fault of the test's
        # machine, not of the program, which said so as it should. The case runs again.
        print("the program could not open the virtual display: " + failure)
        return DISPLAY_REFUSED
    if failure is not None:
        print("FAILED: " + failure)
        _print_last("last trace lines:", program.operations(), 15)
        _print_last("other stderr lines:", others, 60)
        print("screenshots and the full trace: " + run.artifacts)
        return 1
    _print_last("other stderr lines (not failures):", others, 10)
    print("passed; screenshots in " + run.artifacts)
    return 0


# The program's line when it cannot open a display, and the exit code that asks for a new X server.
NO_DISPLAY_LINE = "画面（ディスプレイ）を開けませんでした"
DISPLAY_REFUSED = 75


def _print_last(title, lines, count):
    """Prints the title and the last `count` lines, indented; nothing when there are none."""
    if lines:
        print(title)
        for line in lines[-count:]:
            print("  " + line)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--inside-display", action="store_true", help=argparse.SUPPRESS)
    parser.add_argument("case", choices=sorted(CASES))
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    args.artifacts = os.path.abspath(args.artifacts)
    if args.inside_display:
        return run_inside_display(args)

    tools = ("Xvfb", "xdotool", "import", "convert") + WINDOW_MANAGER_CASES.get(args.case, ())
    missing = [tool for tool in tools if shutil.which(tool) is None]
    if missing:
        print("skipped: missing " + ", ".join(missing) + " (scripts/deps.sh test installs them)")
        return 77
    for path in (args.program, os.path.join(args.assets, "kepler.bmp")):
        if not os.path.exists(path):
            print("missing %s: build the targets kepler-laws and assets first" % path)
            return 1
    # Now and then, on a loaded machine, the program is refused by a fresh Xvfb that accepts other
    # clients; the case then runs once more on another one.
    for _ in range(3):
        status = run_on_new_display(args)
        if status != DISPLAY_REFUSED:
            return status
    print("FAILED: three X servers in a row refused the program")
    return 1


def run_on_new_display(args):
    """Runs the case in this script again, on an Xvfb of its own; returns its exit status."""
    # Xvfb picks a free display itself and says which once it accepts connections (-displayfd):
    # xvfb-run -a guesses a number from lock files, and two runs starting together can take the
    # same one, so that one program talks to the other's server and is refused.
    ready, told = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(told), "-nolisten", "tcp", "-screen",
                               "0", "%sx24" % SCREENS.get(args.case, DEFAULT_SCREEN)],
                              pass_fds=(told,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    os.close(told)
    with os.fdopen(ready) as answer:
        number = answer.readline().strip()
    try:
        if not number:
            print("Xvfb did not start")
            return 1
        environment = dict(os.environ, DISPLAY=":" + number)
        command = [sys.executable, os.path.abspath(__file__), "--inside-display"] + sys.argv[1:]
        return subprocess.run(command, env=environment).returncode
    finally:
        server.terminate()
        server.wait()


if __name__ == "__main__":
    sys.exit(main())
