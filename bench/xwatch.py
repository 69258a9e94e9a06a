"""An X client that watches other programs' windows from outside, through libX11 and
libXdamage loaded with ctypes: it reads events with the moment each was read and reports the
drawing into chosen windows.

The benchmarks share it so that every figure they print is timed the same way: from the
watcher's own clock (CLOCK_MONOTONIC) when it reads the X server's report.
"""

import ctypes
import ctypes.util
import select
import time

xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_damage = ctypes.CDLL(ctypes.util.find_library("Xdamage") or "libXdamage.so.1")

_DAMAGE_REPORT_RAW_RECTANGLES = 0


class _AnyEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong)]


Event = ctypes.c_long * 24  # the size of Xlib's XEvent union

_WindowList = ctypes.POINTER(ctypes.c_ulong)

xlib.XOpenDisplay.restype = ctypes.c_void_p
xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
xlib.XDefaultRootWindow.restype = ctypes.c_ulong
xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
xlib.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
xlib.XConnectionNumber.argtypes = [ctypes.c_void_p]
xlib.XPending.argtypes = [ctypes.c_void_p]
xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(Event)]
xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xlib.XFlush.argtypes = [ctypes.c_void_p]
xlib.XFree.argtypes = [ctypes.c_void_p]
xlib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(_WindowList),
                            ctypes.POINTER(ctypes.c_uint)]
_damage.XDamageQueryExtension.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int),
                                          ctypes.POINTER(ctypes.c_int)]
_damage.XDamageCreate.restype = ctypes.c_ulong
_damage.XDamageCreate.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int]


def event_type(event):
    return _AnyEvent.from_buffer(event).type


def event_window(event):
    """The window an event is about; for a DAMAGE report, the drawable drawn into."""
    return _AnyEvent.from_buffer(event).window


class Watcher:
    """One connection to the X server, with the DAMAGE extension checked."""

    def __init__(self, display_name):
        self.display = xlib.XOpenDisplay(display_name.encode())
        if not self.display:
            raise RuntimeError(f"cannot open X display {display_name}")
        event_base, error_base = ctypes.c_int(), ctypes.c_int()
        if not _damage.XDamageQueryExtension(self.display, ctypes.byref(event_base),
                                             ctypes.byref(error_base)):
            raise RuntimeError("the X server lacks the DAMAGE extension")
        self.damage_notify = event_base.value
        self.fd = xlib.XConnectionNumber(self.display)
        self.root = xlib.XDefaultRootWindow(self.display)

    def close(self):
        xlib.XCloseDisplay(self.display)

    def next_event(self, deadline):
        """The next event and the moment it was read, or None at the deadline."""
        while not xlib.XPending(self.display):
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                return None
            select.select([self.fd], [], [], remaining)
        event = Event()
        xlib.XNextEvent(self.display, ctypes.byref(event))
        return event, time.monotonic()

    def watch_drawing(self, *windows):
        """Has every drawing into each of windows reported from now on. Drawing into a child
        window is not damage to its parent: watching a window's tree catches all of it."""
        for window in windows:
            _damage.XDamageCreate(self.display, window, _DAMAGE_REPORT_RAW_RECTANGLES)
        xlib.XFlush(self.display)

    def tree(self, window):
        """window and all the windows below it."""
        root, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children, count = _WindowList(), ctypes.c_uint()
        if not xlib.XQueryTree(self.display, window, ctypes.byref(root), ctypes.byref(parent),
                               ctypes.byref(children), ctypes.byref(count)):
            raise RuntimeError(f"window {window:#x} is gone")
        try:
            below = list(children[:count.value])
        finally:
            if children:
                xlib.XFree(children)
        return [window, *(member for child in below for member in self.tree(child))]

    def drain(self, quiet, limit):
        """Reads events until none has come for quiet seconds, or for at most limit seconds."""
        end = time.monotonic() + limit
        while self.next_event(min(end, time.monotonic() + quiet)) is not None:
            pass
