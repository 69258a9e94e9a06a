#!/usr/bin/env python3
"""Idle wakeups and the first answer after idle, with the session's accessibility switch off and
on: what a calculator left open all day costs, and how soon it answers the key that wakes it.
A tiny GTK 3 window with accessibility on is measured the same way, for comparison.

    bench/idle.py build/rechner [--runs N]

startup.py prints these figures after its own; run alone, only these are taken. Each case runs the program in a
private session bus of its own (the accessibility bus started through it, its settings in
memory), with its window active and the pointer away. What each figure is:

  wakeups    times per second the program's threads were put back to work after sleeping
             (voluntary and involuntary context switches of all its threads, from the kernel's
             counts), over IDLE_SECONDS once it has settled.
  first key  ms from an XTest digit key, sent after QUIET_BEFORE_KEY s without any input, to
             the first XDamage report on the window; the median of KEYS such keys. With
             accessibility on, each key goes to the accessibility registry first.
  first answer
             with accessibility on, ms from a screen reader's question (the name of the
             program's accessible application object, asked over the accessibility bus by
             atspi_answer.py) to the answer, after QUIET_BEFORE_KEY s without any; the median
             of KEYS such questions.
"""

import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE.parent / "tests" / "e2e"))
from interaction import Program, find_window, key_latencies
from xsession import Program as Running
from xsession import START_TIMEOUT, UserDirs, XSession, wait_until
from xtest import Input
from xwatch import Watcher

SETTLE_SECONDS = 1.0
IDLE_SECONDS = 5.0
QUIET_BEFORE_KEY = 1.0
KEYS = 9
LIBRARY = "librechner-atk"
ANSWERS = HERE / "atspi_answer.py"
GTK_WINDOW = HERE.parent / "tests" / "e2e" / "gtk_display_window.py"
# Debian's own interpreter, which has the GObject bindings; the first python3 may not.
SYSTEM_PYTHON = "/usr/bin/python3"


def context_switches(pid):
    """Voluntary and involuntary context switches of all the process's threads so far."""
    total = 0
    for task in Path(f"/proc/{pid}/task").iterdir():
        for line in (task / "status").read_text().splitlines():
            if line.startswith(("voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:")):
                total += int(line.split()[1])
    return total


def maps_library(pid):
    return LIBRARY in Path(f"/proc/{pid}/maps").read_text()


class SessionBus:
    """A private session bus whose activated services (the accessibility bus) keep their
    settings in memory and their sockets in a directory of their own."""

    def __init__(self):
        self.process = subprocess.Popen(["dbus-daemon", "--session", "--nofork",
                                         "--print-address=1"], stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)
        self.address = self.process.stdout.readline().strip()
        # Without a runtime directory of its own, the accessibility bus would take the socket
        # ~/.cache/at-spi/bus from any other session's.
        self.directory = tempfile.mkdtemp(prefix="rechner-bench-a11y-")
        self.call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                  "org.freedesktop.DBus.UpdateActivationEnvironment",
                  repr({"GSETTINGS_BACKEND": "memory", "XDG_RUNTIME_DIR": self.directory}))

    def call(self, destination, path, method, *args):
        subprocess.run(["gdbus", "call", "--session", "--dest", destination, "--object-path",
                        path, "--method", method, *args],
                       env=os.environ | {"DBUS_SESSION_BUS_ADDRESS": self.address},
                       capture_output=True, timeout=10, check=True)

    def switch_accessibility(self, enabled):
        self.call("org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set",
                  "org.a11y.Status", "IsEnabled", "<true>" if enabled else "<false>")

    def close(self):
        # The accessibility bus and its registry end when the bus they were started from goes.
        self.process.terminate()
        self.process.wait()
        shutil.rmtree(self.directory, ignore_errors=True)


class Case:
    """One program run for the figures: its command, whether accessibility is on and whether
    its screen-reader side has come up (by its process id)."""

    def __init__(self, label, command, accessibility, ready=lambda pid: True):
        self.label = label
        self.command = [str(part) for part in command]
        self.accessibility = accessibility
        self.ready = ready


def cases(rechner):
    loaded = maps_library
    return [Case("a11y off", [rechner], False),
            Case("a11y on", [rechner], True, loaded),
            # What a toolkit that screen-reader users trust costs idle, for comparison.
            Case("GTK 3, on", [SYSTEM_PYTHON, GTK_WINDOW], True)]


def measure_case(session, case):
    """(wakeups per second, first-key latencies in ms, first-answer latencies in ms or None) of
    one run."""
    bus = SessionBus()
    user = UserDirs()
    running = None
    try:
        bus.switch_accessibility(case.accessibility)
        env = session.env(user) | {"DBUS_SESSION_BUS_ADDRESS": bus.address}
        running = Running(case.command, env, case.label)
        program = Program(case.label, case.command,
                          lambda pid: ["--all", "--pid", pid, "--name", "^Rechner$"], "Escape")
        window = find_window(session, program, running.pid)
        wait_until(lambda: case.ready(running.pid), START_TIMEOUT,
                   f"{case.label}: the screen-reader side to come up")
        time.sleep(SETTLE_SECONDS)
        before = context_switches(running.pid)
        time.sleep(IDLE_SECONDS)
        wakeups = (context_switches(running.pid) - before) / IDLE_SECONDS
        watcher = Watcher(session.display)
        try:
            latencies = key_latencies(Input(watcher), program, window, KEYS,
                                      before=lambda number: time.sleep(QUIET_BEFORE_KEY))
        finally:
            watcher.close()
        answers = None
        if case.accessibility:
            result = subprocess.run([SYSTEM_PYTHON, str(ANSWERS), str(running.pid), str(KEYS),
                                     str(QUIET_BEFORE_KEY)], env=env, capture_output=True,
                                    text=True, timeout=60, check=True)
            answers = json.loads(result.stdout)
        return wakeups, latencies, answers
    finally:
        if running:
            running.stop()
        user.remove()
        bus.close()


def measure(session, rechner, runs):
    """Each case's figures over runs runs, by its label."""
    figures = {case.label: [] for case in cases(rechner)}
    for number in range(runs):
        for case in cases(rechner):
            figures[case.label].append(measure_case(session, case))
        print(f"idle run {number + 1} of {runs} done", file=sys.stderr)
    return figures


def report(figures):
    runs = len(next(iter(figures.values())))
    print(f"\nidle wakeups and first answer, medians over {runs} runs each ({KEYS} keys or "
          f"questions per run)\n")
    print(f"{'':28}" + "".join(f"{label:>12}" for label in figures))

    def row(label, pick, goal=""):
        cells = []
        for runs_of_case in figures.values():
            values = [value for run in runs_of_case for value in pick(run)]
            cells.append(f"{statistics.median(values):12.2f}" if values else f"{'n/a':>12}")
        print(f"{label:28}" + "".join(cells) + goal)

    row("idle wakeups per s", lambda run: [run[0]])
    row("first key after idle, ms", lambda run: run[1])
    row("first answer after idle, ms", lambda run: run[2] or [], "  goal <= 2 (rechner)")

def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("rechner", type=Path)
    parser.add_argument("--runs", type=int, default=3)
    options = parser.parse_args()
    session = XSession()
    try:
        session.move_pointer(10, 1000)
        figures = measure(session, options.rechner.resolve(), options.runs)
    finally:
        session.close()
    report(figures)


if __name__ == "__main__":
    main()
