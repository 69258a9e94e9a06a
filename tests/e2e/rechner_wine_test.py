"""The window and settings scenarios of the Linux program, run against rechner.exe under Wine
on Xvfb with openbox. The settings live in the Wine prefix's registry and in "Quenvik.ini" in
its Windows directory.

Where Wine shows a Win32 property on X differently from the FLTK program, the test here checks
what Wine shows: the program's taskbar entry is its owner window (1 x 1 pixels, titled Rechner)
while the calculator skips the taskbar; a fully opaque layered window has no opacity property;
the colour key becomes a bounding shape with a spare column beside the window; and the labels
are drawn in Wine's "MS Sans Serif", so the display has a reference picture of its own.

Run through CTest, or by hand, with a Wine prefix:
    WINEPREFIX=... RECHNER_EMULATOR=wine RECHNER=build-windows/rechner.exe \\
        HOSTSIGNAL=build-windows/hostsignal.exe python3 tests/e2e/rechner_wine_test.py [-v]
"""

import subprocess
import unittest
from pathlib import Path

import rechner_desktop_test as desktop
import rechner_settings_test as settings
import rechner_window_test as window
from calculator import HEIGHT, WIDTH, is_owner_window, titled_windows
from xsession import EMULATOR, Program, UserDirs, program_command, user_env


class WineServer:
    """A persistent wineserver for the test class, as a host's session would have one; ended
    before the class's X server, whose display its processes use."""

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.addClassCleanup(subprocess.run, ["wineserver", "-k"], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)
        cls.restart_wineserver()

    @classmethod
    def restart_wineserver(cls):
        # A server still lingering after earlier programs may run a desktop on no display, or
        # on another one; this class's server starts afresh. Its output is redirected, or it
        # would hold the caller's pipes open.
        subprocess.run(["wineserver", "-k"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=60)
        subprocess.run(["wineserver", "-p"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       check=True)
        # The first program of a wineserver starts the desktop process on its display, and the
        # screen size and monitors every later program sees are that display's: start it on the
        # session's.
        cls.wine("cmd", "/c", "exit")

    @classmethod
    def wine(cls, *args):
        subprocess.run([EMULATOR, *args], env=cls.session.env(), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, check=True)


class WineWindowUnderWindowManager(WineServer, window.WindowUnderWindowManager):
    display_reference = Path(__file__).resolve().parent / "reference" / \
        "display-12-plus-34-wine.ppm"

    def test_window_is_an_undecorated_126_by_224_window_above_others(self):
        calculator = self.start_calculator()
        self.assertEqual(calculator.geometry(), (*window.FIRST_PLACE, WIDTH, HEIGHT))
        self.assertIn("Override Redirect State: no",
                      self.session.tool("xwininfo", "-id", calculator.window))
        self.assertIn("_NET_WM_STATE_ABOVE", calculator.property("_NET_WM_STATE"))
        # The taskbar entry is the owner window's, the program's only window in the client
        # list besides the calculator, which skips the taskbar as an owned pop-up does.
        self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", calculator.property("_NET_WM_STATE"))
        owners = [w for w in titled_windows(self.session, calculator.program.pid)
                  if is_owner_window(self.session, w)]
        self.assertEqual(len(owners), 1, f"owner windows: {owners}")
        owner_state = self.session.tool("xprop", "-id", owners[0], "_NET_WM_STATE")
        self.assertNotIn("SKIP_TASKBAR", owner_state)


class WineSettingsUnderWindowManager(WineServer, settings.SettingsUnderWindowManager):
    pass


class WineTwoMonitorsSideBySide(WineServer, desktop.TwoMonitorsSideBySide):
    """Wine takes its monitors from RandR's outputs, and Xvfb has only one. Without RandR it
    asks Xinerama, which the X server answers with the monitors that xrandr --setmonitor set:
    so RandR is off for this class."""

    X11_DRIVER_KEY = r"HKCU\Software\Wine\X11 Driver"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.wine("reg", "add", cls.X11_DRIVER_KEY, "/v", "UseXRandR", "/t", "REG_SZ", "/d", "N",
                 "/f")
        cls.addClassCleanup(cls.wine, "reg", "delete", cls.X11_DRIVER_KEY, "/v", "UseXRandR",
                            "/f")
        # The desktop process reads the monitors once, as it starts.
        cls.restart_wineserver()


class WineWithoutDisplay(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        # A wineserver left running may still have a desktop on some display; this start must
        # find none.
        for command in (["wineserver", "-k"], ["wineserver", "-w"]):
            subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           timeout=60)
        cls.addClassCleanup(subprocess.run, ["wineserver", "-k"], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)

    def test_a_start_that_cannot_create_its_window_ends_with_0(self):
        user = UserDirs()
        self.addCleanup(user.remove)
        program = Program(program_command("RECHNER"), user_env(user), "rechner")
        self.addCleanup(program.stop)
        # The failure is caught at start-up and told in a box without an owner, which cannot
        # show on no display either: the program ends normally instead of being terminated.
        self.assertEqual(program.wait_exit(60.0), 0, f"standard error: {program.stderr()!r}")
        self.assertNotIn("terminate called", program.stderr())


if __name__ == "__main__":
    unittest.main()
