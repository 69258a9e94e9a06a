#!/usr/bin/env python3
"""Close benchmark: how long the calculator's window and its process take to go once the end
is asked for, with the settings files free and with them busy.

    bench/close.py build/rechner [--runs N]
    bench/close.py build-windows/rechner.exe --holder build-windows/tests/e2e/file-holder.exe
        [--prefix DIR] [--runs N]

Starts a private Xvfb with openbox. Each run starts the calculator with a fresh user whose
registry holds a position, drags the window by a few pixels (so that a write of the new
position is under way or waiting), waits 100 ms and asks for the end. Prints the median and
the largest of N runs (default 9) per way and case. What each figure is:

  window gone   ms from the request to the X server's UnmapNotify or DestroyNotify of the
                calculator's window, read by a client that watches it.
  process gone  ms from the request to the process's end, seen through a pidfd.

The ways: SIGTERM (Linux only; the request is the kill) and Alt+F4 (an XTest key chord on the
watcher's connection; the window manager or Wine turns it into the window's close). The cases:
free files, and busy files: on Linux a host holding the writers' locks of both files, under
Wine a program holding "Quenvik.ini" open without sharing it (--holder), for the whole run.
The goal: the window gone within 50 ms in every case; the process within the write's grace of
1 s after that.

Under Wine the program runs in the prefix (build-windows/wineprefix by default, created when
missing) with a persistent wineserver, as bench/startup_wine.py does; its registry key and
"Quenvik.ini" are reset before each run.
"""

import argparse
import contextlib
import ctypes
import os
import select
import signal
import statistics
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
from calculator import BODY_POINT, NEUTRAL_POINT, calculator_windows
from stores import WineStores, registry_file, user_stores
from xsession import START_TIMEOUT, UserDirs, XSession, wait_until
from xtest import Input
from xwatch import Watcher, event_type, event_window, xlib

MINIMUM_RUNS = 5
DRAG_STEP = 7
SETTLE_AFTER_DRAG = 0.1
WINDOW_GOAL_MS = 50
GRACE_MS = 1000
_UNMAP_NOTIFY, _DESTROY_NOTIFY = 18, 17
_STRUCTURE_NOTIFY_MASK = 1 << 17


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("rechner", type=Path)
    parser.add_argument("--runs", type=int, default=9)
    parser.add_argument("--holder", type=Path, help="file-holder.exe, for rechner.exe")
    parser.add_argument("--prefix", type=Path,
                        default=HERE.parent / "build-windows" / "wineprefix")
    options = parser.parse_args()
    if options.runs < MINIMUM_RUNS:
        parser.error(f"at least {MINIMUM_RUNS} runs")
    wine = options.rechner.suffix.lower() == ".exe"
    if wine and not options.holder:
        parser.error("rechner.exe needs --holder")
    session = XSession()
    try:
        session.move_pointer(*NEUTRAL_POINT)
        with contextlib.ExitStack() as stack:
            if wine:
                stack.enter_context(wine_prefix(session, options.prefix.resolve()))
            watcher = Watcher(session.display)
            stack.callback(watcher.close)
            bench = CloseBench(session, Input(watcher), options, wine)
            ways = ["Alt+F4"] if wine else ["SIGTERM", "Alt+F4"]
            figures = {(way, busy): [bench.run(way, busy) for _ in range(options.runs)]
                       for way in ways for busy in (False, True)}
        report(figures, options, wine)
    finally:
        session.close()


@contextlib.contextmanager
def wine_prefix(session, prefix):
    """The environment and warm wineserver of startup_wine.py, for this session's display."""
    from startup_wine import create_prefix, warm_wineserver, wine_environment
    env = wine_environment(prefix)
    create_prefix(env)
    saved = {key: os.environ.get(key) for key in [*env, "RECHNER_EMULATOR"]}
    os.environ.update(env | {"RECHNER_EMULATOR": "wine"})
    try:
        with warm_wineserver(session.env() | env):
            yield
    finally:
        for key, value in saved.items():
            if value is None:
                os.environ.pop(key, None)
            else:
                os.environ[key] = value


class CloseBench:
    def __init__(self, session, user_input, options, wine):
        self.session = session
        self.input = user_input
        self.watcher = user_input.watcher
        self.options = options
        self.wine = wine

    def run(self, way, busy):
        """(ms to the window gone, ms to the process gone) for one run."""
        user = UserDirs()
        try:
            stores = user_stores(user)
            stores.reset()
            stores.write_registry(registry_file('"CalcLeft"="300"', '"CalcTop"="200"'))
            with self.busy(stores, user) if busy else contextlib.nullcontext():
                command = (["wine", self.options.rechner.resolve()] if self.wine
                           else [self.options.rechner.resolve()])
                program = self.session.start(command, user=user, name="rechner")
                try:
                    return self.close(program, way)
                finally:
                    program.stop()
        finally:
            user.remove()

    def busy(self, stores, user):
        if self.wine:
            return self.held_legacy_file(stores, user)
        return stores.locks_held()

    @contextlib.contextmanager
    def held_legacy_file(self, stores, user):
        stores.write_profile(b"[Einstellungen]\r\n")
        release = user.root / "release"
        holder = self.session.start(["wine", self.options.holder.resolve(),
                                     WineStores._windows_path(stores.profile),
                                     WineStores._windows_path(release)], user=user,
                                    name="file-holder")
        try:
            if holder.read_line(30.0) != "held":
                raise RuntimeError(f"file-holder did not hold the file: {holder.stdout()}")
            yield
        finally:
            release.touch()
            holder.stop()

    def close(self, program, way):
        window = int(wait_until(lambda: calculator_windows(self.session, program.pid),
                                START_TIMEOUT, "the calculator's window")[0])
        self.session.tool("xdotool", "windowactivate", "--sync", window, check=False)
        self.drag(window)
        time.sleep(SETTLE_AFTER_DRAG)
        xlib.XSelectInput(self.watcher.display, window, _STRUCTURE_NOTIFY_MASK)
        self.watcher.drain(0.02, 0.5)
        process = os.pidfd_open(program.pid)
        try:
            if way == "SIGTERM":
                requested = time.monotonic()
                os.kill(program.pid, signal.SIGTERM)
            else:
                requested = self.alt_f4()
            gone = self.window_gone(window, requested + 5.0)
            select.select([process], [], [], 10.0)
            ended = time.monotonic()
        finally:
            os.close(process)
        return (gone - requested) * 1000, (ended - requested) * 1000

    def drag(self, window):
        left, top = self.input.window_origin(window)
        x, y = left + BODY_POINT[0], top + BODY_POINT[1]
        self.input.move(x, y)
        self.input.button(1, True)
        self.input.move(x + DRAG_STEP, y + DRAG_STEP)
        wait_until(lambda: self.input.window_origin(window) != (left, top), 2.0,
                   "the window to follow the drag", interval=0.001)
        self.input.button(1, False)

    def alt_f4(self):
        alt, f4 = self.input.keycode("Alt_L"), self.input.keycode("F4")
        return self.input.chord(alt, f4)

    def window_gone(self, window, deadline):
        while (item := self.watcher.next_event(deadline)) is not None:
            event, seen = item
            if (event_type(event) in (_UNMAP_NOTIFY, _DESTROY_NOTIFY)
                    and event_window(event) == window):
                return seen
        raise RuntimeError("the window never went")


def report(figures, options, wine):
    where = "Wine on Xvfb with openbox" if wine else "Xvfb with openbox"
    print(f"close of {options.rechner} ({where}), {options.runs} runs each: median / largest, ms")
    print(f"{'way':8} {'files':6} {'window gone':>16} {'process gone':>16}")
    for (way, busy), runs in figures.items():
        windows = [window for window, _ in runs]
        processes = [process for _, process in runs]
        print(f"{way:8} {'busy' if busy else 'free':6} "
              f"{statistics.median(windows):8.1f} /{max(windows):6.1f} "
              f"{statistics.median(processes):8.1f} /{max(processes):6.1f}")
    print(f"goal: window gone under {WINDOW_GOAL_MS} ms; process gone within the write's grace "
          f"({GRACE_MS} ms) after that")


if __name__ == "__main__":
    main()
