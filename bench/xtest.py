"""Synthetic keys, buttons and pointer moves through the XTest extension (libXtst via ctypes),
sent on a watcher's own connection, so that the moment a request leaves and the moment the
answering drawing is read are taken by one client with one clock."""

import ctypes
import ctypes.util
import time

from xwatch import xlib

_xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")

_xtst.XTestQueryExtension.argtypes = [ctypes.c_void_p, *[ctypes.POINTER(ctypes.c_int)] * 4]
_xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
_xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                       ctypes.c_ulong]
_xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_int, ctypes.c_ulong]
xlib.XStringToKeysym.restype = ctypes.c_ulong
xlib.XStringToKeysym.argtypes = [ctypes.c_char_p]
xlib.XKeysymToKeycode.restype = ctypes.c_ubyte
xlib.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xlib.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                       ctypes.c_int, ctypes.c_int,
                                       ctypes.POINTER(ctypes.c_int),
                                       ctypes.POINTER(ctypes.c_int),
                                       ctypes.POINTER(ctypes.c_ulong)]

_NO_DELAY = 0
_THIS_SCREEN = -1


class Input:
    """XTest input on the connection of watcher. Each method sends its requests at once and
    returns the moment they left."""

    def __init__(self, watcher):
        self.watcher = watcher
        self.display = watcher.display
        numbers = [ctypes.c_int() for _ in range(4)]
        if not _xtst.XTestQueryExtension(self.display, *map(ctypes.byref, numbers)):
            raise RuntimeError("the X server lacks the XTEST extension")

    def keycode(self, name):
        """The keycode that types the key named like an X keysym ("1", "Escape")."""
        code = xlib.XKeysymToKeycode(self.display, xlib.XStringToKeysym(name.encode()))
        if not code:
            raise RuntimeError(f"no key types {name!r}")
        return code

    def key(self, code):
        """Presses and releases a key."""
        _xtst.XTestFakeKeyEvent(self.display, code, True, _NO_DELAY)
        _xtst.XTestFakeKeyEvent(self.display, code, False, _NO_DELAY)
        return self._send()

    def chord(self, *codes):
        """Presses the keys in order and releases them in reverse, as Alt+F4 is typed."""
        for code in codes:
            _xtst.XTestFakeKeyEvent(self.display, code, True, _NO_DELAY)
        for code in reversed(codes):
            _xtst.XTestFakeKeyEvent(self.display, code, False, _NO_DELAY)
        return self._send()

    def move(self, x, y):
        """Moves the pointer to a point on the screen."""
        _xtst.XTestFakeMotionEvent(self.display, _THIS_SCREEN, x, y, _NO_DELAY)
        return self._send()

    def button(self, number, down):
        _xtst.XTestFakeButtonEvent(self.display, number, down, _NO_DELAY)
        return self._send()

    def window_origin(self, window):
        """Where window's upper-left corner is on the screen."""
        x, y, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        xlib.XTranslateCoordinates(self.display, window, self.watcher.root, 0, 0,
                                   ctypes.byref(x), ctypes.byref(y), ctypes.byref(child))
        return x.value, y.value

    def _send(self):
        sent = time.monotonic()
        xlib.XFlush(self.display)
        return sent
