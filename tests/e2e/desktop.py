"""What the end-to-end runs do on the X display: find windows, move and click the pointer, press
keys, take screenshots and send the window manager's close request. It knows nothing about
kepler-laws itself; the checks live in run_case.py. Standard library only (ctypes for libX11).
"""

import ctypes
import ctypes.util
import os
import re
import subprocess
import time


class Image:
    """A screenshot: an RGB picture, 8 bits a channel, rows top to bottom, from the binary PPM
    that ImageMagick writes."""

    def __init__(self, ppm):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        if not header:
            raise ValueError("not an 8-bit binary PPM: %r" % ppm[:20])
        self.ppm = ppm
        self.width = int(header.group(1))
        self.rgb = ppm[header.end():]

    def pixel(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.rgb[i:i + 3])

    def save_png(self, path):
        subprocess.run(["convert", "ppm:-", path], input=self.ppm, check=True)


def screenshot():
    """The whole screen."""
    return Image(subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], check=True,
                                stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout)


def xdotool(*args):
    return subprocess.run(["xdotool", *[str(a) for a in args]], stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True)


def find_window(title, timeout):
    """Id of the visible window with exactly this title, or None after timeout [s]."""
    deadline = time.monotonic() + timeout
    pattern = "^" + title + "$"
    while True:
        result = xdotool("search", "--onlyvisible", "--name", pattern)
        ids = result.stdout.split()
        if ids:
            return int(ids[0])
        if time.monotonic() > deadline:
            return None
        time.sleep(0.05)


def window_geometry(window):
    """(x, y, width, height) of a window on the screen."""
    out = xdotool("getwindowgeometry", "--shell", window).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))


def client_area(window):
    """(x, y, width, height) of a window's client area on the screen, also when a window manager
    has put it in a frame (xdotool then misplaces it)."""
    _, _, width, height = window_geometry(window)
    lib = _xlib()
    display = _open(lib)
    try:
        x, y = ctypes.c_int(0), ctypes.c_int(0)
        child = ctypes.c_ulong(0)
        root = lib.XDefaultRootWindow(display)
        lib.XTranslateCoordinates(display, window, root, 0, 0, ctypes.byref(x), ctypes.byref(y),
                                  ctypes.byref(child))
        return x.value, y.value, width, height
    finally:
        lib.XCloseDisplay(display)


def click(x, y):
    xdotool("mousemove", x, y, "click", 1)


def icon_sizes(window):
    """(width, height) of every picture in the window's _NET_WM_ICON, the taskbar's icon."""
    lib = _xlib()
    display = _open(lib)
    try:
        atom = lib.XInternAtom(display, b"_NET_WM_ICON", 0)
        actual_type = ctypes.c_ulong()
        actual_format = ctypes.c_int()
        count = ctypes.c_ulong()
        after = ctypes.c_ulong()
        data = ctypes.POINTER(ctypes.c_long)()
        status = lib.XGetWindowProperty(display, window, atom, 0, 1 << 24, 0, 0,
                                        ctypes.byref(actual_type), ctypes.byref(actual_format),
                                        ctypes.byref(count), ctypes.byref(after),
                                        ctypes.byref(data))
        if status != 0 or not data:
            return []
        sizes = []
        i = 0
        # Format 32 properties come as C longs: width, height, then width x height pixels.
        while actual_format.value == 32 and i + 2 <= count.value:
            width, height = data[i], data[i + 1]
            sizes.append((width, height))
            i += 2 + width * height
        lib.XFree(data)
        return sizes
    finally:
        lib.XCloseDisplay(display)


def _xtest():
    lib = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
    lib.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    lib.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int,
                                         ctypes.c_ulong]
    lib.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                         ctypes.c_ulong]
    return lib


def key_and_click_together(key_name, x, y):
    """Presses and releases a key, then clicks at (x, y), as one batch: the fake events are queued
    in one X connection and reach the server in one flush, so the program receives them together,
    as from a fast hand or a busy machine."""
    x11 = _xlib()
    xtst = _xtest()
    x11.XStringToKeysym.restype = ctypes.c_ulong
    x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
    x11.XKeysymToKeycode.restype = ctypes.c_ubyte
    x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    display = _open(x11)
    try:
        keycode = x11.XKeysymToKeycode(display, x11.XStringToKeysym(key_name.encode()))
        xtst.XTestFakeKeyEvent(display, keycode, 1, 0)
        xtst.XTestFakeKeyEvent(display, keycode, 0, 0)
        xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
        xtst.XTestFakeButtonEvent(display, 1, 1, 0)
        xtst.XTestFakeButtonEvent(display, 1, 0, 0)
        x11.XFlush(display)
        x11.XSync(display, 0)
    finally:
        x11.XCloseDisplay(display)


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


_CLIENT_MESSAGE = 33


def _xlib():
    lib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    lib.XOpenDisplay.restype = ctypes.c_void_p
    lib.XOpenDisplay.argtypes = [ctypes.c_char_p]
    lib.XInternAtom.restype = ctypes.c_ulong
    lib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    lib.XGetWMProtocols.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                    ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                                    ctypes.POINTER(ctypes.c_int)]
    lib.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_Event)]
    lib.XGetWindowProperty.argtypes = [
        ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_long, ctypes.c_long,
        ctypes.c_int, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_ulong),
        ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.POINTER(ctypes.c_long))]
    lib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    lib.XFree.argtypes = [ctypes.c_void_p]
    lib.XCloseDisplay.argtypes = [ctypes.c_void_p]
    lib.XDefaultRootWindow.restype = ctypes.c_ulong
    lib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    lib.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                          ctypes.c_int, ctypes.c_int,
                                          ctypes.POINTER(ctypes.c_int),
                                          ctypes.POINTER(ctypes.c_int),
                                          ctypes.POINTER(ctypes.c_ulong)]
    return lib


def _open(lib):
    """A connection to the display DISPLAY names."""
    display = lib.XOpenDisplay(os.environ.get("DISPLAY", "").encode())
    if not display:
        raise RuntimeError("cannot open display %r" % os.environ.get("DISPLAY"))
    return display


class CloseRequest:
    """Sends WM_DELETE_WINDOW the way a window manager's close button does. The display
    connection is opened beforehand so that send() costs one round trip."""

    def __init__(self, window):
        self.window = window
        self.lib = _xlib()
        self.display = _open(self.lib)
        self.protocols = self.lib.XInternAtom(self.display, b"WM_PROTOCOLS", 0)
        self.delete_window = self.lib.XInternAtom(self.display, b"WM_DELETE_WINDOW", 0)

    def window_accepts_it(self):
        """Whether the window lists WM_DELETE_WINDOW in its WM_PROTOCOLS property."""
        atoms = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_int(0)
        if not self.lib.XGetWMProtocols(self.display, self.window, ctypes.byref(atoms),
                                        ctypes.byref(count)):
            return False
        found = any(atoms[i] == self.delete_window for i in range(count.value))
        self.lib.XFree(atoms)
        return found

    def send(self):
        """Sends the request and returns once the X server has it."""
        event = _Event()
        event.xclient.type = _CLIENT_MESSAGE
        event.xclient.window = self.window
        event.xclient.message_type = self.protocols
        event.xclient.format = 32
        event.xclient.data[0] = self.delete_window
        event.xclient.data[1] = 0  # CurrentTime
        self.lib.XSendEvent(self.display, self.window, 0, 0, ctypes.byref(event))
        self.lib.XSync(self.display, 0)

    def close(self):
        if self.display:
            self.lib.XCloseDisplay(self.display)
            self.display = None
