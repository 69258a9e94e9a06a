"""What the X command-line tools cannot tell: whether a display accepts connections yet, the
rectangles of a window's shape, the override-redirect windows on screen (hints and menus) and
who owns a selection, read through libX11 and libXext; and a drag sent as one batch, through
libXtst."""

import ctypes
import ctypes.util

_xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
_xext = ctypes.CDLL(ctypes.util.find_library("Xext") or "libXext.so.6")
_xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")

_SHAPE_BOUNDING = 0
_IS_VIEWABLE = 2


class _Rectangle(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort)]


class _WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int),
                ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int),
                ("visual", ctypes.c_void_p), ("root", ctypes.c_ulong),
                ("window_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int),
                ("backing_planes", ctypes.c_ulong), ("backing_pixel", ctypes.c_ulong),
                ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int),
                ("all_event_masks", ctypes.c_long), ("your_event_mask", ctypes.c_long),
                ("do_not_propagate_mask", ctypes.c_long), ("override_redirect", ctypes.c_int),
                ("screen", ctypes.c_void_p)]


_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)


# A window can vanish between listing it and asking about it; Xlib's default handler would
# end the whole test run for that, so errors only make the one query fail.
@_ERROR_HANDLER
def _ignore_error(display, event):
    return 0


_xlib.XOpenDisplay.restype = ctypes.c_void_p
_xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
_xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
_xlib.XDefaultRootWindow.restype = ctypes.c_ulong
_xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_xlib.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_ulong),
                             ctypes.POINTER(ctypes.c_ulong),
                             ctypes.POINTER(ctypes.POINTER(ctypes.c_ulong)),
                             ctypes.POINTER(ctypes.c_uint)]
_xlib.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong,
                                       ctypes.POINTER(_WindowAttributes)]
_xlib.XFree.argtypes = [ctypes.c_void_p]
_xlib.XSetErrorHandler.argtypes = [_ERROR_HANDLER]
_xlib.XSetErrorHandler.restype = ctypes.c_void_p
_xext.XShapeGetRectangles.restype = ctypes.POINTER(_Rectangle)
_xext.XShapeGetRectangles.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int,
                                      ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int)]
_xlib.XInternAtom.restype = ctypes.c_ulong
_xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_xlib.XGetSelectionOwner.restype = ctypes.c_ulong
_xlib.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_xtst.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                       ctypes.c_int, ctypes.c_ulong]
_xtst.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                       ctypes.c_ulong]
_xlib.XFlush.argtypes = [ctypes.c_void_p]
_xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_xlib.XMoveWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int]
_xlib.XSetErrorHandler(_ignore_error)


def can_connect(name):
    display = _xlib.XOpenDisplay(name.encode())
    if display:
        _xlib.XCloseDisplay(display)
    return bool(display)


class Display:
    """A connection to one X display; use it in a with statement."""

    def __init__(self, name):
        self._display = _xlib.XOpenDisplay(name.encode())
        if not self._display:
            raise RuntimeError(f"cannot open X display {name}")

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        _xlib.XCloseDisplay(self._display)

    def move_window(self, window, x, y):
        """Asks for window at (x, y) at once, as a window manager's own move would come, with
        no program to start first."""
        _xlib.XMoveWindow(self._display, window, x, y)
        _xlib.XFlush(self._display)

    def shape_rectangles(self, window):
        """The bounding shape of window as (x, y, width, height) rectangles; an unshaped window
        reports its own rectangle."""
        count = ctypes.c_int()
        ordering = ctypes.c_int()
        rectangles = _xext.XShapeGetRectangles(self._display, window, _SHAPE_BOUNDING,
                                               ctypes.byref(count), ctypes.byref(ordering))
        if not rectangles:
            return []
        try:
            return [(r.x, r.y, r.width, r.height) for r in rectangles[:count.value]]
        finally:
            _xlib.XFree(rectangles)

    def drag_at_once(self, start, end, button=1):
        """Presses the button at start, moves the pointer to end and releases it there, all on
        the screen, sent together so that a client reads them as one batch."""
        _xtst.XTestFakeMotionEvent(self._display, -1, *start, 0)
        _xlib.XSync(self._display, 0)
        _xtst.XTestFakeButtonEvent(self._display, button, 1, 0)
        _xtst.XTestFakeMotionEvent(self._display, -1, *end, 0)
        _xtst.XTestFakeButtonEvent(self._display, button, 0, 0)
        _xlib.XFlush(self._display)

    def clipboard_owner(self):
        """The window that owns the clipboard selection, 0 when nobody does. Asking the owner
        nothing, it costs a clipboard server none of its requests."""
        return self.selection_owner("CLIPBOARD")

    def selection_owner(self, selection):
        """The window that owns the named selection, 0 when nobody does."""
        atom = _xlib.XInternAtom(self._display, selection.encode(), 0)
        return _xlib.XGetSelectionOwner(self._display, atom)

    def override_redirect_windows(self):
        """The viewable override-redirect top-level windows as (id, x, y, width, height)."""
        root = _xlib.XDefaultRootWindow(self._display)
        root_return, parent = ctypes.c_ulong(), ctypes.c_ulong()
        children = ctypes.POINTER(ctypes.c_ulong)()
        count = ctypes.c_uint()
        if not _xlib.XQueryTree(self._display, root, ctypes.byref(root_return),
                                ctypes.byref(parent), ctypes.byref(children),
                                ctypes.byref(count)):
            return []
        try:
            windows = list(children[:count.value])
        finally:
            if children:
                _xlib.XFree(children)
        found = []
        for window in windows:
            attributes = _WindowAttributes()
            if (_xlib.XGetWindowAttributes(self._display, window, ctypes.byref(attributes))
                    and attributes.override_redirect
                    and attributes.map_state == _IS_VIEWABLE):
                found.append((window, attributes.x, attributes.y, attributes.width,
                              attributes.height))
        return found
