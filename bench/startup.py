#!/usr/bin/env python3
"""Start-up, memory and idle benchmark of the calculator against a minimal FLTK program.

    bench/startup.py build/rechner [--runs N] [--dpi D]

Builds bench/minimal.cpp with g++ and fltk-config, starts a private Xvfb with openbox, and runs
both programs in turn N times (at least 7; default 9) with fresh user directories, printing the
medians with the targets. With --dpi the desktop's Xft.dpi is D (default 96), and the
calculator's window is as large as it makes itself at that scale. What each figure is:

  map        ms from just before exec to the X server's MapNotify of the program's window (its
             openbox frame), seen by a client that watches the root window.
  paint      ms from just before exec to the first drawing into the window after it is mapped:
             the first XDamage report on it. Both programs double-buffer, so that first drawing
             is the whole picture copied onto the screen at once.
  mapped to paint  ms from the map to that first drawing, each run's own (target: 2 at most).
  memory     resident set (VmRSS) 1 s after exec.
  idle CPU   CPU time (the scheduler's nanosecond count over all threads) from 1 s to 6 s after
             exec, per second, with the pointer away from the window.
  redraws    XDamage reports on the window over those same 5 idle seconds.

With --legacy MB it also times the calculator's first start beside a host's legacy Quenvik.ini of
MB megabytes whose section comes last (no registry copy yet, as after an update of the host),
with the target of 1.5 x a start without files; with --nul-registry MB, beside a registry.reg of
MB megabytes of NULs, as a crash can leave it, with the peak resident set (VmHWM) as well.

Then the resident memory of both programs at each of 96 and 192 dpi (fresh sessions, no idle
figures), with the ratio and its target of 1.25 x the minimal program.

Then idle.py's figures for the calculator alone: wakeups per second while idle and the first
answer to a key after idle, with the session's accessibility switch off and on.

Nothing in the programs is instrumented; everything is watched from outside. startup_wine.py
takes the start-up and memory figures of rechner.exe under Wine with the same pieces.
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
from contextlib import contextmanager
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
from xsession import UserDirs, XSession
from xwatch import Watcher, event_type, event_window, xlib
import idle

# A program's window is the first one mapped at least this large: the calculator's grows with the
# desktop's scale, and Wine's 1 x 1 owner window does not count.
SMALLEST_WINDOW = 100
IDLE_START, IDLE_END = 1.0, 6.0
MINIMUM_RUNS = 7
# The desktop resolutions at which the memory ratio is printed.
MEMORY_SCALES = (96, 192)
# Where the pointer waits during the runs, far from where both windows appear.
NEUTRAL_POINT = (10, 1000)

_CREATE_NOTIFY, _MAP_NOTIFY, _CONFIGURE_NOTIFY = 16, 19, 22
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


class _ConfigureEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("x", ctypes.c_int), ("y", ctypes.c_int),
                ("width", ctypes.c_int), ("height", ctypes.c_int)]


def resident_memory(pid):
    """The process's resident set, in MB, as "memory", and its peak as "peak"."""
    return {"memory": process_status(pid, "VmRSS") / 1024,
            "peak": process_status(pid, "VmHWM") / 1024}


def write_legacy_file(config, megabytes):
    """A host's Quenvik.ini of about megabytes MB, its bookings first and the calculator's section
    last, and no registry file yet."""
    folder = config / "Tembra-Lidorn"
    folder.mkdir(exist_ok=True)
    (folder / "registry.reg").unlink(missing_ok=True)
    line = "B{}=2024-06-07;Giro;1200,50;Miete Juni und Nebenkosten\r\n"
    lines, size = ["; Tembra Lidorn\r\n[Buchungen]\r\n"], 0
    while size < megabytes * 1000 * 1000:
        lines.append(line.format(len(lines)))
        size += len(lines[-1])
    lines.append("[Einstellungen]\r\nCalcLeft=100\r\nCalcTop=100\r\n")
    (folder / "Quenvik.ini").write_bytes("".join(lines).encode())


def write_nul_registry(config, megabytes):
    """A registry.reg of megabytes MB of NULs."""
    folder = config / "Tembra-Lidorn"
    folder.mkdir(exist_ok=True)
    with open(folder / "registry.reg", "wb") as file:
        for _ in range(megabytes):
            file.write(bytes(1000 * 1000))


def process_status(pid, field):
    """A figure in kB from the kernel's status of the process."""
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith(f"{field}:"):
            return int(line.split()[1])
    raise RuntimeError(f"process {pid} has no {field}")


class StartupWatcher(Watcher):
    """A watcher that sees windows appear on the root and counts the drawing into one."""

    def __init__(self, display_name):
        super().__init__(display_name)
        # The windows whose drawing counts in the current run.
        self.drawn = set()
        xlib.XSelectInput(self.display, self.root, _SUBSTRUCTURE_NOTIFY_MASK)
        xlib.XSync(self.display, 1)

    def run(self, args, env, memory=resident_memory, idle=True, settle=IDLE_START):
        """Starts the program and follows it for IDLE_END seconds, or without the idle figures
        until IDLE_START or, when it paints later (within settle seconds), just after that;
        returns its figures, with memory(pid)'s at that moment."""
        started = time.monotonic()
        process = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            mapped, painted = self.watch_start(started + settle)
            if mapped is None and process.poll() is not None:
                raise RuntimeError(f"{args[-1]} ended with status {process.returncode} before "
                                   "its window was mapped: does an earlier copy still run?")
            if mapped is None or painted is None:
                missing = "mapped" if mapped is None else "painted"
                raise RuntimeError(f"{args[-1]}: its window was not {missing} within "
                                   f"{settle} s")
            self.drawings_until(max(started + IDLE_START, painted + 0.2))
            figures = {"map": (mapped - started) * 1000, "paint": (painted - started) * 1000,
                       "gap": (painted - mapped) * 1000,
                       **memory(process.pid)}
            if idle:
                cpu_before = cpu_nanoseconds(process.pid)
                figures["redraws"] = self.drawings_until(started + IDLE_END)
                idle_cpu = cpu_nanoseconds(process.pid) - cpu_before
                figures["cpu"] = idle_cpu / 1e6 / (IDLE_END - IDLE_START)
        finally:
            process.send_signal(signal.SIGTERM)
            # The process is the program itself, so once it is reaped no copy of it is left to
            # hold a single-instance lock against the next run.
            process.wait()
        return figures

    def watch_start(self, deadline):
        """The moments the program's window was mapped and first drawn into, None for what did
        not happen by the deadline. Its small windows (such as a 1 x 1 owner window under Wine)
        do not count."""
        sizes, created = {}, set()
        mapped = None
        self.drawn = set()
        while (item := self.next_event(deadline)) is not None:
            event, seen = item
            kind = event_type(event)
            if kind == _CREATE_NOTIFY:
                window = _CreateEvent.from_buffer(event)
                sizes[window.window] = (window.width, window.height)
                created.add(window.window)
                # Before the window manager maps it, so the first drawing is seen; the size
                # may still change, so every new window is watched.
                self.watch_drawing(window.window)
            elif kind == _CONFIGURE_NOTIFY:
                window = _ConfigureEvent.from_buffer(event)
                sizes[window.window] = (window.width, window.height)
            elif kind == _MAP_NOTIFY and mapped is None:
                window = _MapEvent.from_buffer(event)
                width, height = sizes.get(window.window, (0, 0))
                if (not window.override_redirect and width >= SMALLEST_WINDOW
                        and height >= SMALLEST_WINDOW):
                    mapped = seen
                    # What is mapped is the window manager's frame: the drawing that counts is
                    # the program's, into the windows it created that are now inside the frame.
                    self.drawn = created.intersection(self.tree(window.window)[1:])
            elif kind == self.damage_notify and event_window(event) in self.drawn:
                return mapped, seen
        return mapped, None

    def drawings_until(self, deadline):
        """How many drawings into the program's window are reported until the deadline."""
        count = 0
        while (item := self.next_event(deadline)) is not None:
            event = item[0]
            count += (event_type(event) == self.damage_notify
                      and event_window(event) in self.drawn)
        return count


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


def run_count(text):
    runs = int(text)
    if runs < MINIMUM_RUNS:
        raise argparse.ArgumentTypeError(f"a median needs at least {MINIMUM_RUNS} runs")
    return runs


def arguments(description, program):
    """A parser of the arguments both benchmarks take: the calculator program and --runs."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("rechner", type=Path, help=program)
    parser.add_argument("--runs", type=run_count, default=9,
                        help=f"runs of each program (default 9, at least {MINIMUM_RUNS})")
    parser.add_argument("--legacy", type=int, metavar="MB",
                        help="also time a first start beside a legacy file of MB megabytes")
    parser.add_argument("--nul-registry", type=int, metavar="MB",
                        help="also time a start beside a registry file of MB megabytes of NULs")
    parser.add_argument("--dpi", type=int, default=96,
                        help="the desktop's resolution, which the calculator scales by "
                             "(default 96)")
    return parser


@contextmanager
def scratch_session(dpi=96):
    """A scratch directory and a private Xvfb with openbox whose desktop's Xft.dpi is dpi, the
    pointer out of the way; both gone afterwards."""
    scratch = Path(tempfile.mkdtemp(prefix="rechner-bench-"))
    session = None
    try:
        session = XSession(resources=[f"Xft.dpi:\t{dpi}"])
        session.move_pointer(*NEUTRAL_POINT)
        yield scratch, session
    finally:
        if session:
            session.close()
        shutil.rmtree(scratch, ignore_errors=True)


def measure(session, commands, runs, env=None, prepare=None, **options):
    """Runs each named command in turn, runs times, each with user directories of its own and
    env added to its environment, first calling prepare[name](config folder) where given;
    returns every run's figures by name. options go to StartupWatcher.run."""
    watcher = StartupWatcher(session.display)
    users = {name: UserDirs() for name in commands}
    try:
        figures = {name: [] for name in commands}
        for number in range(runs):
            for name, command in commands.items():
                if prepare and name in prepare:
                    prepare[name](users[name].config)
                figures[name].append(
                    watcher.run(command, session.env(users[name]) | (env or {}), **options))
            print(f"run {number + 1} of {runs} done", file=sys.stderr)
        return figures
    finally:
        watcher.close()
        for user in users.values():
            user.remove()


def median(figures, name, key):
    return statistics.median(run[key] for run in figures[name])


def print_ratios(figures, runs, setting, rows):
    """Prints the medians of both programs for rows of (label, key, whether the calculator
    must stay within 1.25 x the minimal program)."""
    print(f"\nmedians over {runs} runs each ({setting})\n")
    print(f"{'':28}{'minimal':>10}{'rechner':>10}{'ratio':>8}  target")
    for label, key, targeted in rows:
        minimal, rechner = median(figures, "minimal", key), median(figures, "rechner", key)
        ratio = rechner / minimal
        target = f"<= 1.25 x minimal: {'met' if ratio <= 1.25 else 'MISSED'}" if targeted else ""
        print(f"{label:28}{minimal:10.1f}{rechner:10.1f}{ratio:8.2f}  {target}".rstrip())


def main():
    options = arguments(__doc__.splitlines()[0], "the Linux program").parse_args()
    with scratch_session(options.dpi) as (scratch, session):
        commands = {"minimal": [str(build_minimal(scratch))],
                    "rechner": [str(options.rechner.resolve())]}
        figures = measure(session, commands, options.runs)
        files = measure_with_files(session, commands["rechner"], options)
        idle_figures = idle.measure(session, commands["rechner"][0], options.runs)
    by_scale = {}
    for dpi in MEMORY_SCALES:
        with scratch_session(dpi) as (scratch, session):
            by_scale[dpi] = measure(session, {"minimal": [str(build_minimal(scratch))],
                                              "rechner": commands["rechner"]},
                                    options.runs, idle=False)
    report(figures, options.runs, options.dpi)
    if files:
        report_with_files(files, options.runs)
    report_memory_by_scale(by_scale, options.runs, "Xvfb with openbox, Xft.dpi")
    idle.report(idle_figures)


def report_memory_by_scale(by_scale, runs, setting):
    """Prints both programs' resident memory at each resolution of by_scale, with the ratio."""
    print(f"\nresident memory at 1 s by resolution, MB, medians over {runs} runs each\n")
    print(f"{setting:28}{'minimal':>10}{'rechner':>10}{'ratio':>8}  target")
    for dpi, figures in by_scale.items():
        minimal, rechner = median(figures, "minimal", "memory"), median(figures, "rechner", "memory")
        ratio = rechner / minimal
        print(f"{dpi:<28}{minimal:10.1f}{rechner:10.1f}{ratio:8.2f}  "
              f"<= 1.25 x minimal: {'met' if ratio <= 1.25 else 'MISSED'}")


def measure_with_files(session, rechner, options):
    """The calculator started beside the host files the options ask for, in turn with a start
    without files; None when they ask for none."""
    prepare = {}
    if options.legacy:
        prepare[f"{options.legacy} MB legacy file"] = lambda config: write_legacy_file(
            config, options.legacy)
    if options.nul_registry:
        prepare[f"{options.nul_registry} MB NUL registry"] = lambda config: write_nul_registry(
            config, options.nul_registry)
    if not prepare:
        return None
    commands = {"no files": rechner} | {name: rechner for name in prepare}
    # Long enough for a start that reads a large file before its window maps.
    return measure(session, commands, options.runs, prepare=prepare, idle=False, settle=60.0)


def report_with_files(figures, runs):
    print(f"\nthe calculator beside host files, medians over {runs} runs each\n")
    print(f"{'':24}{'map ms':>9}{'paint ms':>9}{'map x':>7}{'RSS MB':>8}{'peak MB':>8}")
    plain = median(figures, "no files", "map")
    for name in figures:
        ratio = median(figures, name, "map") / plain
        target = f"  <= 1.5: {'met' if ratio <= 1.5 else 'MISSED'}" if name != "no files" else ""
        print(f"{name:24}{median(figures, name, 'map'):9.1f}{median(figures, name, 'paint'):9.1f}"
              f"{ratio:7.2f}{median(figures, name, 'memory'):8.1f}"
              f"{median(figures, name, 'peak'):8.1f}{target}")


def report(figures, runs, dpi):
    print_ratios(figures, runs, f"Xvfb with openbox, Xft.dpi {dpi}",
                 [("exec to window mapped, ms", "map", True),
                  ("exec to first paint, ms", "paint", True),
                  ("resident memory at 1 s, MB", "memory", True)])
    gap = median(figures, "rechner", "gap")
    print(f"{'window mapped to paint, ms':28}{median(figures, 'minimal', 'gap'):10.1f}{gap:10.1f}"
          f"{'':8}  <= 2: {'met' if gap <= 2 else 'MISSED'}")
    cpu = median(figures, "rechner", "cpu")
    print(f"{'idle CPU, ms per s':28}{median(figures, 'minimal', 'cpu'):10.3f}{cpu:10.3f}"
          f"{'':8}  < 1: {'met' if cpu < 1 else 'MISSED'}")
    most = max(run["redraws"] for run in figures["rechner"])
    print(f"{'idle redraws in 5 s (most)':28}"
          f"{max(run['redraws'] for run in figures['minimal']):10d}{most:10d}{'':8}  "
          f"0: {'met' if most == 0 else 'MISSED'}")


if __name__ == "__main__":
    main()
