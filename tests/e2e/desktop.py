"""What the end-to-end runs do on the X display: find windows, click, take screenshots, read window
properties, send the window manager's close request and a key with a click in one batch. It knows
nothing about kepler-laws itself; the checks live in run_case.py. Standard library only (ctypes for
libX11 and libXtst, xdotool and ImageMagick for the rest).
"""

import ctypes
import ctypes.util
import os
import re
import subprocess
import time

X11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
XTST = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
X11.XOpenDisplay.restype = ctypes.c_void_p
X11.XInternAtom.restype = ctypes.c_ulong
X11.XStringToKeysym.restype = ctypes.c_ulong
X11.XKeysymToKeycode.restype = ctypes.c_ubyte
Ulong = ctypes.c_ulong


class Image:
    """A screenshot: RGB, 8 bits a channel, rows top to bottom, from ImageMagick's binary PPM."""

    def __init__(self, ppm):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        self.ppm, self.width, self.rgb = ppm, int(header[1]), ppm[header.end():]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def save_png(self, path):
        subprocess.run(["convert", "ppm:-", path], input=self.ppm, check=True)


def screenshot(window="root"):
    """A window's client area (a window id) or the whole screen."""
    return Image(subprocess.run(["import", "-window", str(window), "-depth", "8", "ppm:-"],
                                check=True, capture_output=True).stdout)


def xdotool(*args):
    return subprocess.run(["xdotool", *map(str, args)], capture_output=True, text=True).stdout


def find_window(title, timeout):
    """Id of the visible window with exactly this title, or None after timeout [s]."""
    deadline = time.monotonic() + timeout
    while not (ids := xdotool("search", "--onlyvisible", "--name", "^%s$" % title).split()):
        if time.monotonic() > deadline:
            return None
        time.sleep(0.05)
    return int(ids[0])


def geometry(window):
    """(x, y, width, height) of a window; x and y are wrong once a window manager frames it."""
    shell = xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=") for line in shell.split())
    return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def click(window, x, y):
    """A click at (x, y) in the window's client area."""
    xdotool("mousemove", "--window", window, x, y, "click", 1)


class Display:
    """A connection of its own to $DISPLAY for the duration of a with block."""

    def __enter__(self):
        self.x = ctypes.c_void_p(X11.XOpenDisplay(os.environ["DISPLAY"].encode()))
        if not self.x:
            raise RuntimeError("cannot open display %r" % os.environ["DISPLAY"])
        return self

    def __exit__(self, *_):
        X11.XCloseDisplay(self.x)

    def atom(self, name):
        return Ulong(X11.XInternAtom(self.x, name.encode(), 0))


def icon_sizes(window):
    """(width, height) of every picture in _NET_WM_ICON, the taskbar's icon: 32-bit items (C longs
    here), each picture its width, its height and width x height pixels."""
    with Display() as d:
        kind, bits, count, after = Ulong(), ctypes.c_int(), Ulong(), Ulong()
        icon = ctypes.POINTER(ctypes.c_long)()
        X11.XGetWindowProperty(d.x, Ulong(window), d.atom("_NET_WM_ICON"), ctypes.c_long(0),
                               ctypes.c_long(1 << 24), 0, Ulong(0), ctypes.byref(kind),
                               ctypes.byref(bits), ctypes.byref(count), ctypes.byref(after),
                               ctypes.byref(icon))
        data = icon[:count.value] if icon and bits.value == 32 else []
        if icon:
            X11.XFree(icon)
    sizes = []
    while len(data) >= 2:
        sizes.append((data[0], data[1]))
        data = data[2 + data[0] * data[1]:]
    return sizes


class _ClientMessage(ctypes.Structure):  # an XEvent, 24 longs in all
    _fields_ = [("type", ctypes.c_int), ("serial", Ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", Ulong), ("message_type", Ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


def close(window):
    """Sends WM_DELETE_WINDOW as a window manager's close button does; returns once the X server
    has it."""
    with Display() as d:
        event = _ClientMessage(type=33, window=window, message_type=d.atom("WM_PROTOCOLS"),
                               format=32)  # 33: ClientMessage
        event.data[0] = d.atom("WM_DELETE_WINDOW").value  # data[1], the time: CurrentTime
        X11.XSendEvent(d.x, Ulong(window), 0, ctypes.c_long(0), ctypes.byref(event))
        X11.XSync(d.x, 0)


def key_and_click_together(key, x, y):
    """Presses and releases a key, then clicks at (x, y) on the screen, as one batch: the fake
    events are queued in one X connection and reach the server in one flush, so the program
    receives them together, as from a fast hand or a busy machine."""
    with Display() as d:
        code = X11.XKeysymToKeycode(d.x, Ulong(X11.XStringToKeysym(key.encode())))
        XTST.XTestFakeKeyEvent(d.x, code, 1, Ulong(0))
        XTST.XTestFakeKeyEvent(d.x, code, 0, Ulong(0))
        XTST.XTestFakeMotionEvent(d.x, -1, x, y, Ulong(0))
        XTST.XTestFakeButtonEvent(d.x, 1, 1, Ulong(0))
        XTST.XTestFakeButtonEvent(d.x, 1, 0, Ulong(0))
        X11.XSync(d.x, 0)
