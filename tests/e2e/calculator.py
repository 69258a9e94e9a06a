"""Drives the real calculator in an XSession as a person would: finds its window, clicks the
painted keys, types, reads the display back through Ctrl+C and the clipboard, and reads the
window's X properties.

The key rectangles are the window's own click regions (left, top, width, height in window
coordinates); a click goes to the middle of one, at window origin + rectangle centre.
"""

import re
import struct
import unittest
from pathlib import Path

import x11
from stores import registry_file, user_stores
from xsession import EMULATOR, START_TIMEOUT, UserDirs, XSession, program_command, wait_until

KEYS = {
    "0": (8, 191, 26, 21), "1": (8, 171, 26, 21), "2": (35, 170, 26, 21),
    ",": (36, 190, 26, 21), "=": (61, 190, 26, 21), "3": (61, 171, 26, 21),
    "+": (88, 171, 26, 43), "-": (88, 150, 26, 21), "6": (61, 151, 26, 21),
    "5": (35, 150, 26, 21), "4": (9, 149, 26, 21), "7": (8, 130, 26, 21),
    "8": (35, 130, 26, 21), "9": (61, 130, 26, 21), "x": (88, 131, 26, 21),
    ":": (88, 110, 26, 21), "A": (36, 112, 26, 21), "C": (9, 112, 26, 21),
}
WIDTH = 126
HEIGHT = 224
# A point of the painted body above the display: no key, no label, only the drag surface.
BODY_POINT = (63, 20)
# The three display labels together: x 14 to 105, y 43 to 75.
DISPLAY_AREA = (14, 43, 92, 33)
# Somewhere on the screen far from where the window is placed, so that a resting pointer shows
# no hint over it.
NEUTRAL_POINT = (10, 1000)
TITLE_PATTERN = "^Rechner$"
# Each look at Wine's focus starts a Windows program, which takes a while on a busy machine.
WINE_FOCUS_TIMEOUT = 30.0


SKIN = Path(__file__).resolve().parents[2] / "resources" / "skin.bmp"


def skin_pixels_shown():
    """The (x, y) of every pixel of the skin bitmap that is not the colour key, exactly white:
    the pixels the window's shape must keep."""
    data = SKIN.read_bytes()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    stride = (width * 3 + 3) & ~3
    shown = set()
    for row in range(abs(height)):
        y = height - 1 - row if height > 0 else row
        for x in range(width):
            start = offset + row * stride + x * 3
            if data[start:start + 3] != b"\xff\xff\xff":
                shown.add((x, y))
    return shown


def opacity_value(alpha):
    """The _NET_WM_WINDOW_OPACITY cardinal for an opacity of alpha out of 255."""
    return alpha * 0x01010101


def titled_windows(session, pid=None):
    """The visible windows titled Rechner, of one process when pid is given."""
    search = ["--pid", pid] if pid is not None else []
    return session.tool("xdotool", "search", "--all", "--onlyvisible", *search, "--name",
                        TITLE_PATTERN, check=False).split()


def window_size(session, window):
    """[width, height] as texts; empty for a window that is gone."""
    return re.findall(r"^\s*(?:Width|Height): (\d+)$",
                      session.tool("xwininfo", "-id", window, check=False), re.MULTILINE)


def is_owner_window(session, window):
    """Whether the window is the 1 x 1 pixel owner that Wine maps for the taskbar entry."""
    return window_size(session, window) == ["1", "1"]


def calculator_windows(session, pid=None):
    """The visible windows titled Rechner (of one process) that show the calculator."""
    return [w for w in titled_windows(session, pid)
            if window_size(session, w) not in ([], ["1", "1"])]


class Calculator:
    """One run of the calculator program for one user."""

    def __init__(self, session, user, program="RECHNER"):
        """program names the environment variable that holds the program to start."""
        self.session = session
        self.user = user
        self.program = session.start(program_command(program), user=user, name="rechner")
        self.window = None

    def wait_for_window(self):
        """Waits until the window is mapped and returns its id."""
        def mapped():
            self.check_running("before mapping its window")
            return calculator_windows(self.session, self.program.pid)
        ids = wait_until(mapped, START_TIMEOUT, "the Rechner window to map")
        if len(ids) != 1:
            raise AssertionError(f"expected one Rechner window, found {ids}")
        self.window = int(ids[0])
        return self.window

    def check_running(self, when):
        if not self.program.running():
            raise AssertionError(f"rechner exited with {self.program.process.returncode} {when}; "
                                 f"standard error: {self.program.stderr()!r}")

    def geometry(self):
        """(left, top, width, height) of the window on the screen."""
        self.check_running("while its window was looked at")
        info = self.session.tool("xwininfo", "-id", self.window)
        values = {}
        for line in info.splitlines():
            key, _, value = line.strip().partition(":")
            values[key] = value.strip()
        return (int(values["Absolute upper-left X"]), int(values["Absolute upper-left Y"]),
                int(values["Width"]), int(values["Height"]))

    def wait_for_place(self, place, what):
        """Waits until the window's upper-left corner is at place (the program may still be
        working through the pointer's moves)."""
        wait_until(lambda: self.geometry()[:2] == place, 3.0,
                   f"the window at {place} {what} (it is at {self.geometry()[:2]})")

    def wait_until_active(self):
        wait_until(lambda: self.session.tool("xdotool", "getactivewindow",
                                             check=False).strip() == str(self.window),
                   START_TIMEOUT, "the window manager to activate the window")

    def wait_for_keyboard_focus(self):
        """Waits until typed keys reach the calculator: the X server sends them to its window,
        and under Wine, which passes them on to its own foreground window's focus, that is the
        calculator too. The window manager's active window is set before either may hold."""
        def x_focus():
            return self.session.tool("xdotool", "getwindowfocus", "-f",
                                     check=False).strip() == str(self.window)
        wait_until(x_focus, START_TIMEOUT, "the keyboard focus on the window")
        if EMULATOR:
            def wine_focus():
                self.check_running("while waiting for the focus")
                client = self.session.start(program_command("TASKBAR_CLIENT", "focused"),
                                            user=self.user, name="taskbar-client")
                return client.wait_exit(WINE_FOCUS_TIMEOUT) == 0
            wait_until(wine_focus, WINE_FOCUS_TIMEOUT, "Wine to give the window the focus")

    def property(self, name):
        """The value text xprop prints for a property of the window, None when it is not
        set."""
        line = self.session.tool("xprop", "-id", self.window, "-notype", name).strip()
        if "not found" in line or "no such atom" in line:
            return None
        return line.partition("=")[2].strip() if "=" in line else line.partition(":")[2].strip()

    def shape_pixels(self):
        """The (x, y) of every pixel of the window that its shape keeps."""
        with x11.Display(self.session.display) as display:
            rectangles = display.shape_rectangles(self.window)
        _, _, width, height = self.geometry()
        # Clipped to the window: Wine's shape has a spare column beside it.
        return {(px, py) for x, y, w, h in rectangles
                for px in range(max(x, 0), min(x + w, width))
                for py in range(max(y, 0), min(y + h, height))}

    def window_pixels(self):
        """The colour (r, g, b) of every pixel of the window on the screen, by (x, y)."""
        left, top, width, height = self.geometry()
        shot = self.session.screenshot(left, top, width, height)
        return {(x, y): tuple(shot.pixels[(y * width + x) * 3:(y * width + x) * 3 + 3])
                for y in range(height) for x in range(width)}

    def opacity(self):
        value = self.property("_NET_WM_WINDOW_OPACITY")
        if value is None and EMULATOR:
            # Wine deletes the property for a layered window made fully opaque.
            return opacity_value(255)
        return None if value is None else int(value)

    def wait_for_opacity(self, alpha, timeout=3.0):
        wait_until(lambda: self.opacity() == opacity_value(alpha), timeout,
                   f"opacity {alpha} (it is {self.opacity()}, i.e. "
                   f"{(self.opacity() or 0) / 0x01010101:g} of 255)")

    def screen_point(self, point):
        left, top, _, _ = self.geometry()
        return left + point[0], top + point[1]

    def move_pointer(self, point):
        """Moves the pointer to a point given in window coordinates."""
        self.session.move_pointer(*self.screen_point(point))

    def click_point(self, point, button=1, repeat=1):
        self.move_pointer(point)
        self.session.tool("xdotool", "click", "--repeat", repeat, "--delay", 60, button)

    def click_keys(self, keys):
        """Clicks each key of keys (texts as in KEYS) in turn, in the middle of its painted
        key, wherever a scaled window paints it."""
        scale = self.geometry()[2] / WIDTH
        for key in keys:
            left, top, width, height = KEYS[key]
            self.click_point((int((left + width / 2) * scale), int((top + height / 2) * scale)))

    def type(self, text):
        """Types text; "\r" in it stands for the Enter key (xdotool would type a line feed for
        "\n", which is another character)."""
        for number, part in enumerate(text.split("\r")):
            if number:
                self.press("Return")
            if part:
                self.session.tool("xdotool", "type", "--delay", 30, part)

    def press(self, *keys):
        """Presses named keys (xdotool key names, e.g. Return, Escape, ctrl+c)."""
        self.session.tool("xdotool", "key", "--delay", 30, *keys)

    def copied_display(self, timeout=3.0):
        """What Ctrl+C copies: the clipboard is first taken by a marker text, so an old copy
        or no copy at all shows as the marker."""
        marker = "<nothing copied>"
        self.session.set_clipboard(marker)
        self.press("ctrl+c")

        def copied():
            text = self.session.tool("xclip", "-o", "-selection", "clipboard", check=False)
            return text if text != marker else None
        try:
            return wait_until(copied, timeout, "Ctrl+C to copy the display")
        except AssertionError:
            return marker

    def close_and_wait(self):
        """Closes the calculator through the host's close signal and returns its exit code."""
        holder = self.session.start(program_command("HOSTSIGNAL", "close"), user=self.user,
                                    name="hostsignal")
        try:
            return self.program.wait_exit(3.0)
        finally:
            holder.stop()

    def drag(self, start, moves, button=1, release_at=None):
        """Presses the button at start (window coordinates), moves the pointer by each (dx, dy)
        of moves in turn and releases it, there or after a jump to release_at (window
        coordinates of the window as it then stands)."""
        self.move_pointer(start)
        self.session.tool("xdotool", "mousedown", button)
        try:
            for dx, dy in moves:
                x, y = self.session.pointer()
                self.session.move_pointer(x + dx, y + dy)
            if release_at is not None:
                self.move_pointer(release_at)
        finally:
            # A button left down would hold the pointer for the tests that follow.
            self.session.tool("xdotool", "mouseup", button)

    def paste(self, text):
        """Offers text on the clipboard to one request, which the calculator's paste makes, and
        presses Ctrl+V. Returns once the clipboard's owner has answered, so keys pressed
        afterwards come after the pasted text."""
        served = self.session.serve_clipboard(text, requests=1)
        self.press("ctrl+v")
        served.wait_exit(3.0)


class CalculatorTestCase(unittest.TestCase):
    """One X session for the class; per test a fresh user and the pointer out of the way.
    Every calculator a test starts is ended with the test. A class may give its session a
    screen of its own through session_options, XSession's keyword arguments."""

    window_manager = True
    session_options = {}

    @classmethod
    def setUpClass(cls):
        cls.session = XSession(cls.window_manager, **cls.session_options)
        cls.addClassCleanup(cls.session.close)

    def setUp(self):
        self.user = self.new_user()
        self.session.move_pointer(*NEUTRAL_POINT)

    def new_user(self, locale="C.UTF-8"):
        user = UserDirs(locale)
        self.addCleanup(user.remove)
        user_stores(user).reset()
        return user

    def check_start_place(self, left, top, expected):
        """Starts the calculator for a new user whose registry holds CalcLeft and CalcTop and
        waits for its window at expected; the calculator is ended again."""
        user = self.new_user()
        user_stores(user).write_registry(
            registry_file(f'"CalcLeft"="{left}"', f'"CalcTop"="{top}"'))
        calculator = self.start_calculator(user=user)
        try:
            calculator.wait_for_place(expected, f"from CalcLeft {left!r}, CalcTop {top!r}")
        finally:
            # Under Wine all users share one session: the next start must be a first.
            calculator.program.stop()

    def start_calculator(self, wait=True, user=None, program="RECHNER"):
        calculator = Calculator(self.session, user or self.user, program)
        self.addCleanup(calculator.program.stop)
        if wait:
            calculator.wait_for_window()
            if self.window_manager:
                calculator.wait_until_active()
                calculator.wait_for_keyboard_focus()
        return calculator
