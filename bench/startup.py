#!/usr/bin/env python3
"""Start-up, memory and idle benchmark of the calculator against a minimal FLTK program.

    bench/startup.py build/rechner [--runs N]

Builds bench/minimal.cpp with g++ and fltk-config, starts a private Xvfb with openbox, and runs
both programs in turn N times (at least 7; default 9) with fresh user directories, printing the
medians with the targets. What each figure is:

  map        ms from just before exec to the X server's MapNotify of the program's window (its
             openbox frame), seen by a client that watches the root window.
  paint      ms from just before exec to the first drawing into the window after it is mapped:
             the first XDamage report on it. Both programs double-buffer, so that first drawing
             is the whole picture copied onto the screen at once.
  memory     resident set (VmRSS) 1 s after exec.
  idle CPU   CPU time (the scheduler's nanosecond count over all threads) from 1 s to 6 s after
             exec, per second, with the pointer away from the window.
  redraws    XDamage reports on the window over those same 5 idle seconds.

Nothing in the programs is instrumented; everything is watched from outside.
"""

import argparse
import ctypes
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
from xsession import UserDirs, XSession
from xwatch import Watcher, event_type, xlib

WIDTH, HEIGHT = 126, 224
IDLE_START, IDLE_END = 1.0, 6.0
MINIMUM_RUNS = 7
# Where the pointer waits during the runs, far from where both windows appear.
NEUTRAL_POINT = (10, 1000)

_CREATE_NOTIFY, _MAP_NOTIFY = 16, 19
_SUBSTRUCTURE_NOTIFY_MASK = 1 << 19


class _CreateEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("parent", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("x", ctypes.c_int), ("y", ctypes.c_int),
                ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("override_redirect", ctypes.c_int)]


class _MapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class StartupWatcher(Watcher):
    """A watcher that sees windows appear on the root and counts the drawing into one."""

    def __init__(self, display_name):
        super().__init__(display_name)
        xlib.XSelectInput(self.display, self.root, _SUBSTRUCTURE_NOTIFY_MASK)
        xlib.XSync(self.display, 1)

    def run(self, args, env):
        """Starts the program and follows it for IDLE_END seconds; returns its figures."""
        started = time.monotonic()
        process = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            mapped, painted = self.watch_start(started + IDLE_START)
            if mapped is None or painted is None:
                missing = "mapped" if mapped is None else "painted"
                raise RuntimeError(f"{args[0]}: its window was not {missing} within "
                                   f"{IDLE_START} s")
            self.drawings_until(started + IDLE_START)
            memory = resident_megabytes(process.pid)
            cpu_before = cpu_nanoseconds(process.pid)
            redraws = self.drawings_until(started + IDLE_END)
            idle_cpu = cpu_nanoseconds(process.pid) - cpu_before
        finally:
            process.send_signal(signal.SIGTERM)
            process.wait()
        return {"map": (mapped - started) * 1000, "paint": (painted - started) * 1000,
                "memory": memory, "cpu": idle_cpu / 1e6 / (IDLE_END - IDLE_START),
                "redraws": redraws}

    def watch_start(self, deadline):
        """The moments the new window was mapped and first drawn into, None for what did not
        happen by the deadline."""
        window = mapped = None
        while (item := self.next_event(deadline)) is not None:
            event, seen = item
            kind = event_type(event)
            if kind == _CREATE_NOTIFY and window is None:
                created = _CreateEvent.from_buffer(event)
                if (created.width, created.height) == (WIDTH, HEIGHT):
                    window = created.window
                    # Before the window manager maps it, so the first drawing is seen.
                    self.watch_drawing(window)
            elif kind == _MAP_NOTIFY and window is not None and mapped is None:
                if not _MapEvent.from_buffer(event).override_redirect:
                    mapped = seen
            elif kind == self.damage_notify and mapped is not None:
                return mapped, seen
        return mapped, None

    def drawings_until(self, deadline):
        """How many drawings into the watched window are reported until the deadline."""
        count = 0
        while (item := self.next_event(deadline)) is not None:
            count += event_type(item[0]) == self.damage_notify
        return count


def resident_megabytes(pid):
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    raise RuntimeError(f"process {pid} has no VmRSS")


def cpu_nanoseconds(pid):
    """CPU time of all the process's threads so far, from the scheduler's own count."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        total += int((task / "schedstat").read_text().split()[0])
    return total


def build_minimal(directory):
    flags = subprocess.run(["fltk-config", "--cxxflags"], capture_output=True, text=True,
                           check=True).stdout.split()
    libraries = subprocess.run(["fltk-config", "--ldflags"], capture_output=True, text=True,
                               check=True).stdout.split()
    program = directory / "minimal"
    subprocess.run(["g++", "-std=c++20", "-O2", *flags, str(HERE / "minimal.cpp"), *libraries,
                    "-o", str(program)], check=True)
    return program


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("rechner", type=Path)
    parser.add_argument("--runs", type=int, default=9)
    options = parser.parse_args()
    if options.runs < MINIMUM_RUNS:
        parser.error(f"a median needs at least {MINIMUM_RUNS} runs")
    scratch = Path(tempfile.mkdtemp(prefix="rechner-bench-"))
    session = None
    try:
        programs = {"minimal": build_minimal(scratch), "rechner": options.rechner.resolve()}
        session = XSession()
        session.move_pointer(*NEUTRAL_POINT)
        watcher = StartupWatcher(session.display)
        figures = {name: [] for name in programs}
        users = {name: UserDirs() for name in programs}
        for run in range(options.runs):
            for name, program in programs.items():
                figures[name].append(watcher.run([str(program)], session.env(users[name])))
            print(f"run {run + 1} of {options.runs} done", file=sys.stderr)
        watcher.close()
        for user in users.values():
            user.remove()
        report(figures, options.runs)
    finally:
        if session:
            session.close()
        shutil.rmtree(scratch, ignore_errors=True)


def report(figures, runs):
    def median(name, key):
        return statistics.median(run[key] for run in figures[name])

    print(f"\nmedians over {runs} runs each (Xvfb with openbox)\n")
    print(f"{'':28}{'minimal':>10}{'rechner':>10}{'ratio':>8}  target")
    rows = [("exec to window mapped, ms", "map"), ("exec to first paint, ms", "paint"),
            ("resident memory at 1 s, MB", "memory")]
    for label, key in rows:
        minimal, rechner = median("minimal", key), median("rechner", key)
        ratio = rechner / minimal
        verdict = "met" if ratio <= 1.25 else "MISSED"
        print(f"{label:28}{minimal:10.1f}{rechner:10.1f}{ratio:8.2f}  <= 1.25 x minimal: "
              f"{verdict}")
    cpu = median("rechner", "cpu")
    print(f"{'idle CPU, ms per s':28}{median('minimal', 'cpu'):10.3f}{cpu:10.3f}{'':8}  "
          f"< 1: {'met' if cpu < 1 else 'MISSED'}")
    most = max(run["redraws"] for run in figures["rechner"])
    print(f"{'idle redraws in 5 s (most)':28}"
          f"{max(run['redraws'] for run in figures['minimal']):10d}{most:10d}{'':8}  "
          f"0: {'met' if most == 0 else 'MISSED'}")


if __name__ == "__main__":
    main()
