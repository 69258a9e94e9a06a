#!/usr/bin/env python3
"""Live rescale benchmark: how long the running calculator takes to show itself at a new scale
once the desktop changes Xft.dpi.

    bench/rescale.py build/rechner [--runs N]

Starts a private Xvfb with openbox at Xft.dpi 96 and the calculator in it, then N times (at least
7; default 9) rewrites the root window's resource database as xrdb and the settings daemons do,
switching between 96 and 192 dots per inch, and prints the median and the slowest of:

  rescale    ms from the property change to the last drawing into the window at its new size
             (the last XDamage report before the window stays quiet for 200 ms).

Watched from outside as startup.py watches the start; nothing in the program is instrumented.
"""

import ctypes
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
from calculator import Calculator
from startup import arguments
from stores import user_stores
from xsession import UserDirs, XSession
from xwatch import Watcher, event_type, event_window, xlib

_PROP_MODE_REPLACE = 0
_XA_STRING = 31
xlib.XInternAtom.restype = ctypes.c_ulong
xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
xlib.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                 ctypes.c_int, ctypes.c_int, ctypes.c_char_p, ctypes.c_int]
xlib.XFlush.argtypes = [ctypes.c_void_p]
SIZES = {96: (126, 224), 192: (252, 448)}
# How long the window must stay undrawn for a rescale to count as shown.
QUIET = 0.2


def resources(session):
    """The resource database as it stands, without its Xft.dpi line."""
    text = subprocess.run(["xrdb", "-query"], env=session.env(), capture_output=True, text=True,
                          check=True, timeout=10).stdout
    return "".join(line + "\n" for line in text.splitlines()
                   if not line.startswith("Xft.dpi:"))


def main():
    options = arguments(__doc__.splitlines()[0], "the Linux program").parse_args()
    session = XSession(resources=["Xft.dpi:\t96"])
    user = UserDirs()
    watcher = Watcher(session.display)
    try:
        user_stores(user).reset()
        # The tests' driver starts the program that RECHNER names.
        os.environ["RECHNER"] = str(options.rechner.resolve())
        calculator = Calculator(session, user)
        calculator.wait_for_window()
        watcher.watch_drawing(*watcher.tree(calculator.window))
        watcher.drain(0.5, 3.0)
        base = resources(session)
        atom = xlib.XInternAtom(watcher.display, b"RESOURCE_MANAGER", 0)
        times = []
        for number in range(options.runs):
            dpi = 192 if number % 2 == 0 else 96
            data = (base + f"Xft.dpi:\t{dpi}\n").encode()
            started = time.monotonic()
            xlib.XChangeProperty(watcher.display, watcher.root, atom, _XA_STRING, 8,
                                 _PROP_MODE_REPLACE, ctypes.c_char_p(data), len(data))
            xlib.XFlush(watcher.display)
            drawn = None
            while drawn is None:
                item = watcher.next_event(started + 5.0)
                if item is None:
                    raise RuntimeError(f"no drawing within 5 s of Xft.dpi {dpi}")
                event, seen = item
                if (event_type(event) == watcher.damage_notify
                        and event_window(event) == calculator.window
                        and calculator.geometry()[2:] == SIZES[dpi]):
                    drawn = seen
            # The server's own fill of the grown area is damage too: what counts is the last
            # drawing before the window stays quiet.
            while (item := watcher.next_event(time.monotonic() + QUIET)) is not None:
                event, seen = item
                if (event_type(event) == watcher.damage_notify
                        and event_window(event) == calculator.window):
                    drawn = seen
            times.append((drawn - started) * 1000)
        print(f"\nlive rescale between 96 and 192 dpi, {options.runs} runs: "
              f"median {statistics.median(times):.1f} ms, slowest {max(times):.1f} ms")
    finally:
        watcher.close()
        session.close()
        user.remove()


if __name__ == "__main__":
    main()
