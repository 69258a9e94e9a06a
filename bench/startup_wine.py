#!/usr/bin/env python3
"""Start-up and memory benchmark of rechner.exe under Wine against a minimal Win32 program.

    bench/startup_wine.py build-windows/rechner.exe [--prefix DIR] [--runs N] [--dpi D]

Builds bench/minimal_win32.cpp with mingw-w64, starts a private Xvfb with openbox and, in the
Wine prefix (build-windows/wineprefix by default, created when missing), a warm wineserver with
its desktop process on that display; then runs both programs in turn N times (at least 7;
default 9) with `wine` and prints the medians side by side, then the memory of both at LogPixels
96 and 192 with its ratio. With --dpi the prefix's LogPixels
is D for the runs (default 96). Watched from outside as startup.py does:

  map        ms from just before exec of `wine` to the X server's MapNotify of the program's
             window (its openbox frame); the calculator's 1 x 1 owner window does not count.
  paint      ms from just before exec to the first drawing into that window after it is mapped:
             the first XDamage report on it.
  memory     resident set (VmRSS) 1 s after exec of the process started as `wine`, which Wine
             execs into the program's own (its command line then names the .exe). It counts the
             program with Wine's Windows DLLs and Unix libraries mapped into it; not the
             wineserver or the desktop process, which all programs of the prefix share.
  anonymous  the part of that resident set that no file backs (RssAnon): heaps, stacks and
             the DLLs' written data, the memory that is the process's own.
"""

import os
import subprocess
import sys
from contextlib import contextmanager
from pathlib import Path

from startup import (MEMORY_SCALES, arguments, measure, print_ratios, process_status,
                     report_memory_by_scale, scratch_session)

HERE = Path(__file__).resolve().parent
DEFAULT_PREFIX = HERE.parent / "build-windows" / "wineprefix"
# wineserver -p's exit status when a server already runs for the prefix.
_SERVER_RUNNING = 2


def wine_environment(prefix):
    # The DLL overrides keep prefix creation from asking for Mono and Gecko.
    return {"WINEPREFIX": str(prefix), "WINEDEBUG": "-all", "WINEARCH": "win64",
            "WINEDLLOVERRIDES": "mscoree,mshtml="}


def create_prefix(env):
    """Creates the prefix when it has no registry yet, with no display, as the tests do."""
    if (Path(env["WINEPREFIX"]) / "system.reg").exists():
        return
    print(f"creating the Wine prefix {env['WINEPREFIX']}", file=sys.stderr)
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    headless = {key: value for key, value in (os.environ | env).items() if key != "DISPLAY"}
    subprocess.run(["wineboot", "--init"], env=headless, check=True, **quiet)
    # The server wineboot started must be gone before a persistent one can be.
    subprocess.run(["wineserver", "--wait"], env=headless, check=True, **quiet)


@contextmanager
def log_pixels(env, dpi):
    """The prefix's screen resolution set to dpi while the block runs, as a user sets the
    scale; removed afterwards."""
    key = r"HKCU\Control Panel\Desktop"
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    headless = {name: value for name, value in (os.environ | env).items() if name != "DISPLAY"}
    subprocess.run(["wine", "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                    str(dpi), "/f"], env=headless, timeout=60, check=True, **quiet)
    subprocess.run(["wineserver", "--wait"], env=headless, **quiet)
    try:
        yield
    finally:
        subprocess.run(["wine", "reg", "delete", key, "/v", "LogPixels", "/f"], env=headless,
                       timeout=60, **quiet)
        subprocess.run(["wineserver", "--wait"], env=headless, **quiet)


@contextmanager
def warm_wineserver(env):
    """A persistent wineserver for the prefix whose desktop process is on env's display, as a
    user's session has once a first Windows program ran; killed afterwards."""
    # Its output goes nowhere, or it would hold the caller's pipes open for its whole life.
    quiet = {"stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL}
    started = subprocess.run(["wineserver", "-p"], env=env, **quiet)
    if started.returncode == _SERVER_RUNNING:
        raise RuntimeError(f"a wineserver already runs for {env['WINEPREFIX']}, with its "
                           "desktop on another display; end it first (wineserver -k)")
    started.check_returncode()
    try:
        # The first program of a wineserver starts the desktop process on its display.
        subprocess.run(["wine", "cmd", "/c", "exit"], env=env, timeout=60, check=True, **quiet)
        yield
    finally:
        subprocess.run(["wineserver", "-k"], env=env, **quiet)


def program_memory(pid):
    """The resident set and its anonymous part, in MB, of the process running a .exe."""
    program = Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0")[0].decode()
    if not program.lower().endswith(".exe"):
        raise RuntimeError(f"process {pid} runs {program}, not the Windows program")
    return {"memory": process_status(pid, "VmRSS") / 1024,
            "anonymous": process_status(pid, "RssAnon") / 1024}


# How long a start under Wine may take on a busy machine before the run counts as failed.
WINE_SETTLE = 10.0


def build_minimal_win32(directory):
    program = directory / "minimal.exe"
    subprocess.run(["i686-w64-mingw32-g++-posix", "-std=c++20", "-O2", "-static", "-mwindows",
                    str(HERE / "minimal_win32.cpp"), "-o", str(program)], check=True)
    return program


def main():
    parser = arguments(__doc__.splitlines()[0], "the Windows program, rechner.exe")
    parser.add_argument("--prefix", type=Path, default=DEFAULT_PREFIX,
                        help=f"the Wine prefix (default {DEFAULT_PREFIX})")
    options = parser.parse_args()
    env = wine_environment(options.prefix.resolve())
    create_prefix(env)
    with scratch_session() as (scratch, session):
        commands = {"minimal": ["wine", str(build_minimal_win32(scratch))],
                    "rechner": ["wine", str(options.rechner.resolve())]}
        with log_pixels(env, options.dpi), warm_wineserver(session.env() | env):
            figures = measure(session, commands, options.runs, env, memory=program_memory,
                              idle=False, settle=WINE_SETTLE)
        by_scale = {}
        for dpi in MEMORY_SCALES:
            with log_pixels(env, dpi), warm_wineserver(session.env() | env):
                by_scale[dpi] = measure(session, commands, options.runs, env,
                                        memory=program_memory, idle=False, settle=WINE_SETTLE)
    print_ratios(figures, options.runs,
                 f"Wine on Xvfb with openbox, warm wineserver, LogPixels {options.dpi}",
                 [("exec to window mapped, ms", "map", True),
                  ("exec to first paint, ms", "paint", False),
                  ("resident memory at 1 s, MB", "memory", False),
                  ("  of it anonymous, MB", "anonymous", False)])
    report_memory_by_scale(by_scale, options.runs, "Wine, LogPixels")


if __name__ == "__main__":
    main()
