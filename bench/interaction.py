#!/usr/bin/env python3
"""Interaction benchmark of the calculator beside xcalc: what a user feels at a key and at the
end of a drag.

    bench/interaction.py build/rechner [--keys N] [--releases N] [--busy-releases N]

Starts a private Xvfb with openbox and runs the calculator, then xcalc, each with a fresh user,
its window active and the pointer away from it. Prints medians and 95th percentiles with the
targets. What each figure is:

  key to display  ms from an XTest key press and release of a digit, sent on the watcher's own
                  connection, to the first XDamage report on the program's window or any of its
                  subwindows. Every few digits a clear key (not timed) empties the entry again,
                  so that each timed digit changes the display. N keys (default 200).
                  The calculator double-buffers, so its first report is the whole new picture;
                  xcalc draws straight into its windows, so its first may be a part of one.
  drag release    ms from an XTest button release, after a press on the calculator's body and a
                  small move that dragged the window, to both settings files holding the new
                  position, seen through inotify on their directory (each report is read at
                  once and stamped with CLOCK_MONOTONIC, nanosecond resolution; waking the
                  watcher adds some tens of microseconds). They are ordinary small files in a
                  scratch config directory under /tmp, whose file system the report names.
                  N releases (default 50), after one untimed. xcalc stores nothing: n/a.
  window's thread on a release
                  ms the window is kept from answering by a release: a digit key sent right
                  after the release of a drag is drawn that much later than a digit alone
                  (key after a release minus key to display, medians). Three cases, each with a
                  fresh user: ordinary files; a 50 MB "Quenvik.ini" whose settings section
                  comes last; a host that holds the writers' lock of both files. N releases
                  (default 20) per case. Goal: under 5 ms in every case.

Nothing in the programs is instrumented; everything is watched from outside.
"""

import argparse
import fcntl
import os
import statistics
import sys
import tempfile
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
from calculator import BODY_POINT, NEUTRAL_POINT, TITLE_PATTERN
from stores import FileStores
from inotify import DirectoryWatch
from xsession import START_TIMEOUT, UserDirs, XSession, wait_until
from xtest import Input
from xwatch import Watcher, event_type

MINIMUM_SAMPLES = 20
# How long without a report ends the drawing or writing set off by one input.
QUIET = 0.05
# How long one input may take to show any effect before the run is given up as broken.
EFFECT_TIMEOUT = 2.0
DIGITS = "123456789"
DIGITS_BEFORE_CLEAR = 5
# Small enough to stay on the screen, with both coordinates changing, so that neither stored
# value alone can match.
DRAG_STEP = 7
SETTINGS_FILES = {"registry.reg": '"{name}"="{value}"', "Quenvik.ini": "{name}={value}"}
LEGACY_MEGABYTES = 50
# The cases of the window's thread on a release: (name, legacy file in MB, host holds the lock).
RELEASE_CASES = [("ordinary files", 0, False),
                 (f"{LEGACY_MEGABYTES} MB legacy file", LEGACY_MEGABYTES, False),
                 ("host holds the lock", 0, True)]
RELEASE_GOAL_MS = 5


class Program:
    """How to start one program, find its window (search gives xdotool's search criteria for
    the process id) and clear its display."""

    def __init__(self, name, args, search, clear_key):
        self.name = name
        self.args = args
        self.search = search
        self.clear_key = clear_key


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("rechner", type=Path)
    parser.add_argument("--keys", type=int, default=200)
    parser.add_argument("--releases", type=int, default=50)
    parser.add_argument("--busy-releases", type=int, default=20)
    options = parser.parse_args()
    if min(options.keys, options.releases, options.busy_releases) < MINIMUM_SAMPLES:
        parser.error(f"a 95th percentile needs at least {MINIMUM_SAMPLES} samples")
    rechner = Program("rechner", [options.rechner.resolve()],
                      lambda pid: ["--all", "--pid", pid, "--name", TITLE_PATTERN], "Escape")
    xcalc = Program("xcalc", ["xcalc"], lambda pid: ["--class", "^XCalc$"], "BackSpace")
    session = XSession()
    try:
        session.move_pointer(*NEUTRAL_POINT)
        watcher = Watcher(session.display)
        user_input = Input(watcher)
        figures = {"rechner": measure(session, user_input, rechner, options, drags=True),
                   "xcalc": measure(session, user_input, xcalc, options, drags=False)}
        busy = {name: release_busy(session, user_input, rechner, options.busy_releases,
                                   megabytes, locked)
                for name, megabytes, locked in RELEASE_CASES}
        watcher.close()
        report(figures, options)
        report_busy(busy, options)
    finally:
        session.close()


def measure(session, user_input, program, options, drags):
    """The program's key latencies and, when drags, its drag release costs; runs it with a
    fresh user and ends it."""
    user = UserDirs()
    try:
        running = session.start(program.args, user=user, name=program.name)
        window = find_window(session, program, running.pid)
        keys = key_latencies(user_input, program, window, options.keys)
        print(f"{program.name}: {len(keys)} keys timed", file=sys.stderr)
        releases = None
        if drags:
            releases = release_costs(user_input, window, FileStores(user).directory,
                                     options.releases)
            print(f"{program.name}: {len(releases)} releases timed", file=sys.stderr)
        running.stop()
        return keys, releases
    finally:
        user.remove()


def release_busy(session, user_input, program, count, legacy_megabytes, host_locks):
    """(ms from a digit sent right after each drag release to its drawing, ms from a digit
    alone to its drawing), count of each, with a fresh user whose legacy file has
    legacy_megabytes of host lines and whose writers' locks a host holds when host_locks."""
    user = UserDirs()
    locks = []
    try:
        directory = FileStores(user).directory
        directory.mkdir(parents=True)
        if legacy_megabytes:
            write_host_file(directory / "Quenvik.ini", legacy_megabytes << 20)
        if host_locks:
            for name in SETTINGS_FILES:
                lock = os.open(directory / f".{name}.lock", os.O_RDONLY | os.O_CREAT, 0o600)
                fcntl.flock(lock, fcntl.LOCK_EX)
                locks.append(lock)
        running = session.start(program.args, user=user, name=program.name)
        window = find_window(session, program, running.pid)
        alone = key_latencies(user_input, program, window, count)

        def release_first(number):
            step = DRAG_STEP if number % 2 == 0 else -DRAG_STEP
            press_and_drag(user_input, window, step)
            user_input.watcher.drain(QUIET, EFFECT_TIMEOUT)
            # The release and the digit leave together, as a quick user's would.
            user_input.button(1, False)

        after_release = key_latencies(user_input, program, window, count, before=release_first,
                                      timeout=2 * EFFECT_TIMEOUT + 8)
        print(f"{program.name}: {count} releases with {legacy_megabytes} MB legacy file"
              f"{', host holding the lock' if host_locks else ''} timed", file=sys.stderr)
        running.stop()
        return after_release, alone
    finally:
        for lock in locks:
            os.close(lock)
        user.remove()


def write_host_file(path, size):
    """Host lines up to size bytes, then the calculator's section, written long ago."""
    line_number = 0
    with path.open("wb") as out:
        out.write(b"; Tembra Lidorn\r\n[Buchungen]\r\n")
        written = 0
        while written < size:
            lines = b"".join(f"B{line_number + n}=2024-06-07;Giro;1200,50;Miete Juni\r\n"
                             .encode() for n in range(1000))
            out.write(lines)
            written += len(lines)
            line_number += 1000
        out.write(b"[Einstellungen]\r\nCalcLeft=100\r\nCalcTop=100\r\n")
    an_hour_ago = os.stat(path).st_mtime - 3600
    os.utime(path, (an_hour_ago, an_hour_ago))


def find_window(session, program, pid):
    """The program's top-level window, once mapped and made the active one."""
    criteria = program.search(pid)
    found = wait_until(lambda: session.tool("xdotool", "search", "--onlyvisible", *criteria,
                                            check=False).split(),
                       START_TIMEOUT, f"the {program.name} window to map")
    if len(found) != 1:
        raise RuntimeError(f"expected one {program.name} window, found {found}")
    window = int(found[0])
    session.tool("xdotool", "windowactivate", "--sync", window)
    wait_until(lambda: session.tool("xdotool", "getactivewindow",
                                    check=False).strip() == str(window),
               START_TIMEOUT, f"the {program.name} window to be active")
    return window


def key_latencies(user_input, program, window, count, before=None, timeout=EFFECT_TIMEOUT):
    """ms from each digit key sent to the first drawing it causes, for count digits; before(n),
    when given, runs just ahead of the n-th digit, and timeout is how long a drawing may take."""
    watcher = user_input.watcher
    watcher.watch_drawing(*watcher.tree(window))
    watcher.drain(QUIET, EFFECT_TIMEOUT)
    digits = [user_input.keycode(digit) for digit in DIGITS]
    clear = user_input.keycode(program.clear_key)
    latencies = []
    while len(latencies) < count:
        if len(latencies) % DIGITS_BEFORE_CLEAR == 0:
            user_input.key(clear)
            watcher.drain(QUIET, EFFECT_TIMEOUT)
        if before:
            before(len(latencies))
        sent = user_input.key(digits[len(latencies) % len(digits)])
        latencies.append((first_drawing(watcher, sent + timeout, program) - sent) * 1000)
        watcher.drain(QUIET, EFFECT_TIMEOUT)
    return latencies


def first_drawing(watcher, deadline, program):
    while (item := watcher.next_event(deadline)) is not None:
        if event_type(item[0]) == watcher.damage_notify:
            return item[1]
    raise RuntimeError(f"{program.name} drew nothing after a digit key")


def release_costs(user_input, window, directory, count):
    """ms from each drag's button release to both settings files holding the place it left
    the window at; one untimed drag first, so that both files exist."""
    costs = []
    # The calculator stores its place as it starts, which makes the directory.
    wait_until(directory.exists, START_TIMEOUT, f"{directory} to be made")
    with DirectoryWatch(directory) as watch:
        for release in range(count + 1):
            step = DRAG_STEP if release % 2 == 0 else -DRAG_STEP
            place, sent = drag(user_input, window, step)
            written = settings_written(watch, directory, place, sent + EFFECT_TIMEOUT)
            if release:
                costs.append((written - sent) * 1000)
    return costs


def drag(user_input, window, step):
    """Drags the window by step both ways and releases the button. Returns where the window is
    and when the release was sent."""
    place = press_and_drag(user_input, window, step)
    return place, user_input.button(1, False)


def press_and_drag(user_input, window, step):
    """Presses on the body, drags the window by step both ways and waits until it is there,
    with the button still held. Returns where the window is."""
    left, top = user_input.window_origin(window)
    x, y = left + BODY_POINT[0], top + BODY_POINT[1]
    user_input.move(x, y)
    user_input.button(1, True)
    user_input.move(x + step, y + step)
    place = (left + step, top + step)
    wait_until(lambda: user_input.window_origin(window) == place, EFFECT_TIMEOUT,
               f"the window dragged to {place}", interval=0.001)
    return place


def settings_written(watch, directory, place, deadline):
    """The moment both settings files were seen holding place."""
    while (item := watch.written(deadline)) is not None:
        names, seen = item
        if names & SETTINGS_FILES.keys() and all(
                holds(directory / file, line, place) for file, line in SETTINGS_FILES.items()):
            return seen
    raise RuntimeError(f"the settings files did not come to hold {place}")


def holds(path, line, place):
    try:
        lines = path.read_text(errors="replace").splitlines()
    except FileNotFoundError:
        return False
    return all(line.format(name=name, value=value) in lines
               for name, value in zip(("CalcLeft", "CalcTop"), place))


def file_system(path):
    """The type of the file system path is on, from the longest mount point above it."""
    best, kind = "", "unknown"
    for entry in Path("/proc/self/mountinfo").read_text().splitlines():
        fields = entry.split()
        mount_point = fields[4]
        if (f"{path}/".startswith(mount_point.rstrip("/") + "/")
                and len(mount_point) > len(best)):
            best, kind = mount_point, fields[fields.index("-") + 1]
    return kind


def report(figures, options):
    median = statistics.median

    def cell(samples, pick):
        return f"{pick(samples):10.2f}" if samples else f"{'n/a':>10}"

    def p95(samples):
        return statistics.quantiles(samples, n=20)[-1]

    xcalc_keys, _ = figures["xcalc"]
    keys, releases = figures["rechner"]
    key_met = median(keys) <= median(xcalc_keys) and median(keys) < 5
    release_met = median(releases) < 20
    # UserDirs makes every user's directories there.
    files_on = file_system(Path(tempfile.gettempdir()).resolve())
    print(f"\n{options.keys} keys and {options.releases} drag releases (Xvfb with openbox; "
          f"settings files on {files_on})\n")
    print(f"{'':32}{'xcalc':>10}{'rechner':>10}  target")
    print(f"{'key to display, median ms':32}{cell(xcalc_keys, median)}{cell(keys, median)}  "
          f"<= xcalc and < 5: {'met' if key_met else 'MISSED'}")
    print(f"{'key to display, 95th pct ms':32}{cell(xcalc_keys, p95)}{cell(keys, p95)}")
    print(f"{'drag release, median ms':32}{cell(None, median)}{cell(releases, median)}  "
          f"< 20: {'met' if release_met else 'MISSED'}")
    print(f"{'drag release, 95th pct ms':32}{cell(None, p95)}{cell(releases, p95)}")


def report_busy(busy, options):
    median = statistics.median
    print(f"\nwindow's thread on a release, {options.busy_releases} releases per case "
          f"(goal < {RELEASE_GOAL_MS} ms in every case)\n")
    print(f"{'':24}{'key after release':>18}{'key alone':>12}{'release':>11}  goal")
    for name, (after_release, alone) in busy.items():
        cost = median(after_release) - median(alone)
        print(f"{name:24}{median(after_release):15.2f} ms{median(alone):9.2f} ms"
              f"{cost:8.2f} ms  {'met' if cost < RELEASE_GOAL_MS else 'MISSED'}")


if __name__ == "__main__":
    main()
