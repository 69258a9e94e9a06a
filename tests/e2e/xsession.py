"""A private X session for the window tests: its own Xvfb, optionally openbox, scratch user
directories, and the programs started in it, all ended when the session ends.

Start a session, make a UserDirs per test (its own home, runtime and config directories, so
single-instance locks and settings never leak between tests), start programs with
session.start(..., user=dirs) and drive them with session.tool(...) (xdotool, xprop, xwininfo,
xclip, import). Everything waits by polling with a deadline, never by fixed sleeps.
"""

import ctypes
import os
import shutil
import signal
import subprocess
import tempfile
import time
from pathlib import Path

import ppm
import x11

SCREEN_WIDTH = 1280
SCREEN_HEIGHT = 1024
# The window is laid out for 96 dots per inch; Xvfb would otherwise report 100, and the
# program would scale itself to that.
SCREEN_DPI = 96
START_TIMEOUT = 10.0
# Set when the programs under test are Windows programs, to the emulator that runs them (Wine).
EMULATOR = os.environ.get("RECHNER_EMULATOR") or None


def program_command(variable, *args):
    """The command that runs the program named by an environment variable, under the emulator
    where there is one."""
    return [*([EMULATOR] if EMULATOR else []), os.environ[variable], *args]


def wait_until(condition, timeout, what, interval=0.02):
    """Polls condition() until it returns something true and returns that; fails the test with
    what was awaited when the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout:.1f} s waiting for {what}")
        time.sleep(interval)


_libc = ctypes.CDLL(None, use_errno=True)
_PR_SET_PDEATHSIG = 1


def _die_with_parent():
    # When the test runner is killed (a CTest timeout), its X servers and programs go too.
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


class Program:
    """A process started in the session, in a process group of its own so that ending it also
    ends anything it forked. Its output goes to files, which never fill up and block it."""

    def __init__(self, args, env, name, pass_fds=()):
        self.name = name
        self._stdout = tempfile.TemporaryFile()
        self._stderr = tempfile.TemporaryFile()
        self.process = subprocess.Popen(args, env=env, stdin=subprocess.DEVNULL,
                                        stdout=self._stdout, stderr=self._stderr,
                                        pass_fds=pass_fds, start_new_session=True,
                                        preexec_fn=_die_with_parent)

    @property
    def pid(self):
        return self.process.pid

    def running(self):
        return self.process.poll() is None

    def wait_exit(self, timeout):
        """The exit code; fails the test when the program is still running after timeout."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"{self.name} still running after {timeout:.1f} s") from None

    def read_line(self, timeout):
        """The first line of standard output, once the program has written all of it."""
        wait_until(lambda: "\n" in self.stdout() or not self.running(), timeout,
                   f"a line from {self.name}")
        # A Windows program ends its lines with a carriage return too.
        return self.stdout().partition("\n")[0].removesuffix("\r")

    def stdout(self):
        return self._read(self._stdout)

    def stderr(self):
        return self._read(self._stderr)

    def stop(self):
        # Asked first, so that an X server removes its lock and socket files.
        if self.running():
            os.killpg(self.process.pid, signal.SIGTERM)
            try:
                self.process.wait(2)
            except subprocess.TimeoutExpired:
                os.killpg(self.process.pid, signal.SIGKILL)
        self.process.wait()
        self._stdout.close()
        self._stderr.close()

    @staticmethod
    def _read(file):
        file.seek(0)
        return file.read().decode(errors="replace")


class UserDirs:
    """A user's home, runtime (mode 0700) and config directories inside one scratch
    directory."""

    def __init__(self, locale="C.UTF-8"):
        self.locale = locale
        self.root = Path(tempfile.mkdtemp(prefix="rechner-e2e-"))
        self.home = self.root / "home"
        self.runtime = self.root / "runtime"
        self.config = self.root / "config"
        for directory in (self.home, self.runtime, self.config):
            directory.mkdir(mode=0o700)

    def env(self):
        return {"HOME": str(self.home), "XDG_RUNTIME_DIR": str(self.runtime),
                "XDG_CONFIG_HOME": str(self.config), "LC_ALL": self.locale}

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


def user_env(user):
    """The environment for a program run by user: the caller's, minus any locale, display and
    directory settings that could make a run differ, with the user's fixed locale."""
    env = {key: value for key, value in os.environ.items()
           if not key.startswith(("LC_", "XDG_", "WAYLAND_"))
           and key not in ("LANG", "LANGUAGE", "DISPLAY")}
    env.update(user.env())
    return env


class XSession:
    """Xvfb on a free display, with openbox when window_manager is true. The screen is
    SCREEN_WIDTH x SCREEN_HEIGHT at SCREEN_DPI unless given; resources are lines merged into
    the desktop's resource database (as "Xft.dpi: 192"), and monitors (name, x, y, width,
    height) split the screen as a desktop with several monitors does, the first the primary
    one; both are set before anything else starts."""

    def __init__(self, window_manager=True, screen=(SCREEN_WIDTH, SCREEN_HEIGHT), dpi=SCREEN_DPI,
                 resources=(), monitors=()):
        self.programs = []
        self.display = None
        self.base_dirs = UserDirs()
        try:
            self.server = self._start_server(screen, dpi)
            if resources:
                subprocess.run(["xrdb", "-nocpp", "-merge", "-"], env=self.env(),
                               input="".join(line + "\n" for line in resources), text=True,
                               capture_output=True, timeout=10, check=True)
            for number, (name, x, y, width, height) in enumerate(monitors):
                # The sizes in millimetres are those of a 96-dpi monitor; nothing should read them.
                self.tool("xrandr", "--setmonitor", name,
                          f"{width}/{width * 254 // 960}x{height}/{height * 254 // 960}+{x}+{y}",
                          "screen" if number == 0 else "none")
            if window_manager:
                self._start_window_manager()
        except BaseException:
            self.close()
            raise

    def env(self, user=None):
        env = user_env(user or self.base_dirs)
        if self.display:
            env["DISPLAY"] = self.display
        return env

    def start(self, args, user=None, name=None, pass_fds=()):
        program = Program([str(arg) for arg in args], self.env(user), name or Path(args[0]).name,
                          pass_fds)
        self.programs.append(program)
        return program

    def tool(self, *args, check=True):
        """Runs an X command-line tool to completion and returns its standard output."""
        result = subprocess.run([str(arg) for arg in args], env=self.env(), capture_output=True,
                                timeout=10, text=True)
        if check and result.returncode != 0:
            raise AssertionError(f"{' '.join(map(str, args))} failed with {result.returncode}: "
                                 f"{result.stderr.strip()}")
        return result.stdout

    def pointer(self):
        """The pointer's (x, y) on the screen."""
        values = dict(item.split(":") for item in self.tool("xdotool", "getmouselocation").split())
        return int(values["x"]), int(values["y"])

    def move_pointer(self, x, y):
        # xdotool's --sync waits for the pointer to move, forever when it is already there.
        if self.pointer() != (x, y):
            self.tool("xdotool", "mousemove", "--sync", x, y)

    def screenshot(self, x, y, width, height):
        """What the screen shows in a rectangle, as a ppm.Picture."""
        result = subprocess.run(["import", "-window", "root", "-crop",
                                 f"{width}x{height}+{x}+{y}", "+repage", "-depth", "8",
                                 "ppm:-"], env=self.env(), capture_output=True, timeout=10,
                                check=True)
        return ppm.parse(result.stdout)

    def set_clipboard(self, text):
        """Makes the clipboard hold text. xclip stays behind to serve it until another client
        takes the clipboard or the display closes; its output is not waited for."""
        subprocess.run(["xclip", "-selection", "clipboard", "-i"], env=self.env(), input=text,
                       text=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=10, check=True)

    def serve_clipboard(self, text, requests):
        """Makes the clipboard hold text for the given number of requests; the returned program
        ends once they are served."""
        source = self.base_dirs.root / f"clipboard-{len(self.programs)}.txt"
        source.write_text(text)
        with x11.Display(self.display) as display:
            before = display.clipboard_owner()
            server = self.start(["xclip", "-quiet", "-selection", "clipboard", "-loops",
                                 requests, "-i", source], name="xclip")
            # Serving starts once xclip owns the selection; before that a paste gets nothing.
            wait_until(lambda: display.clipboard_owner() not in (0, before), 3.0,
                       "xclip to own the clipboard")
        return server

    def close(self):
        for program in reversed(self.programs):
            program.stop()
        self.programs.clear()
        self.base_dirs.remove()

    def _start_server(self, screen, dpi):
        # Given a display number, Xvfb takes that display's lock file or refuses when another
        # server holds it; then the next number is tried. (Left to pick one itself with
        # -displayfd, it takes no lock, and a server started by number could take it too.)
        first = os.getpid() % 800
        for attempt in range(50):
            number = 100 + (first + attempt) % 800
            server = self.start(["Xvfb", f":{number}", "-screen", "0",
                                 f"{screen[0]}x{screen[1]}x24", "-dpi", dpi,
                                 "-nolisten", "tcp", "-noreset"], name="Xvfb")
            if self._wait_for_server(server, number):
                self.display = f":{number}"
                return server
            server.stop()
            self.programs.remove(server)
        raise RuntimeError("Xvfb found no free display")

    @staticmethod
    def _wait_for_server(server, number):
        """Whether the server came up on display number, rather than exiting because another
        server has it."""
        lock = Path(f"/tmp/.X{number}-lock")

        def state():
            if not server.running():
                return "gone"
            try:
                ours = int(lock.read_text().strip()) == server.pid
            except (OSError, ValueError):
                ours = False
            return "up" if ours and x11.can_connect(f":{number}") else None
        return wait_until(state, START_TIMEOUT, f"Xvfb to start on :{number}") == "up"

    def _start_window_manager(self):
        # openbox announces itself on the root window before it is ready to manage windows, and
        # a window mapped in between can stay unmapped for good; the startup command runs once
        # it is ready.
        ready = self.base_dirs.root / "openbox-ready"
        self.start(["openbox", "--sm-disable", "--startup", f"touch {ready}"], name="openbox")
        wait_until(ready.exists, START_TIMEOUT, "openbox to manage the screen")
