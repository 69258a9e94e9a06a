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
from calculator import HEIGHT, KEYS, WIDTH, CalculatorTestCase, is_owner_window, titled_windows
from rechner_contrast_test import Face, check_every_key_computes, contrast_ratio
from xsession import EMULATOR, Program, UserDirs, program_command, user_env, wait_until


# Roles as the accessibility interface numbers them.
ROLE_STATICTEXT = "41"
ROLE_PUSHBUTTON = "43"
# The keys as a person says them.
KEY_NAMES = {"Null", "Eins", "Zwei", "Drei", "Vier", "F\u00fcnf", "Sechs", "Sieben", "Acht",
             "Neun", "Komma", "Plus", "Minus", "Mal", "Geteilt durch", "Gleich",
             "Eingabe l\u00f6schen", "Alles l\u00f6schen"}


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

    def test_taskbar_entry_gives_the_keyboard_back(self):
        calculator = self.start_calculator()
        (entry,) = [w for w in titled_windows(self.session, calculator.program.pid)
                    if is_owner_window(self.session, w)]
        # Minimised and restored, and brought to the front, as the Windows taskbar does it,
        # with system commands to the entry's window and by making it the foreground window;
        # then, with another program in front, the entry brought to the front as a panel on an
        # X desktop does it, through the window manager.
        self.run_taskbar_client("minimize")
        self.run_taskbar_client("restore")
        self.assert_typing_computes(calculator, "1+2\r", "3", "after minimise and restore")
        self.run_taskbar_client("activate")
        self.assert_typing_computes(calculator, "2+1\r", "3", "after the entry was activated")
        other = self.session.start(["xlogo"], user=self.user)
        self.addCleanup(other.stop)
        calculator.wait_for_opacity(155)
        self.session.tool("xdotool", "windowactivate", entry)
        self.assert_typing_computes(calculator, "2+2\r", "4", "after the entry came to front")

    def run_taskbar_client(self, action):
        client = self.session.start(program_command("TASKBAR_CLIENT", action), user=self.user,
                                    name="taskbar-client")
        self.assertEqual(client.wait_exit(10.0), 0, f"taskbar-client {action}")

    def assert_typing_computes(self, calculator, text, shown, when):
        calculator.wait_until_active()
        calculator.press("Escape")
        calculator.type(text)
        self.assertEqual(calculator.copied_display(), shown, f"typed {text!r} {when}")

    def test_screen_reader_finds_reads_and_presses_the_keys(self):
        calculator = self.start_calculator()
        maps = Path(f"/proc/{calculator.program.pid}/maps")
        self.assertNotIn("oleacc", maps.read_text().lower(),
                         "the accessibility libraries load before a screen reader asks")
        client = self.session.start(program_command("ACCESSIBILITY_CLIENT"), user=self.user,
                                    name="accessibility-client")
        self.assertEqual(client.wait_exit(30.0), 0, client.stdout())
        lines = [line.removesuffix("\r").split("|") for line in client.stdout().splitlines()]
        self.assertEqual(lines[0], ["window", "Rechner"])
        children = [line for line in lines if line[0].isdigit()]
        self.assertEqual(len(children), 21)
        buttons = {name: description for _, role, name, description, _ in children
                   if role == ROLE_PUSHBUTTON}
        self.assertEqual(set(buttons), KEY_NAMES)
        self.assertEqual(buttons["Gleich"],
                         "Ergebnis berechnen (oder Return/Enter auf der Tastatur)")
        texts = {description: name for _, role, name, description, _ in children
                 if role == ROLE_STATICTEXT}
        self.assertEqual(texts, {"Letzte Zahl": "", "Rechenzeichen": "", "Eingabe": "0"})
        self.assertEqual([line for line in children if line[4] != "inside"], [])
        entry = next(line[0] for line in children if line[3] == "Eingabe")
        self.assertIn(["focus", entry], lines, "the entry display has the focus")
        self.assertIn(["entry", "7", "changed"], lines, "Sieben pressed, heard as a change")
        self.assertEqual(calculator.copied_display(), "7")
        self.assertIn("oleacc", maps.read_text().lower())


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


class WineHighContrast(WineServer, CalculatorTestCase):
    """Wine 8 reports high contrast always off and refuses SPI_SETHIGHCONTRAST (error 1439); it
    does let the system colours change, and passes the broadcasts on. rechner.exe is checked to
    hear the switch and keep its skin, as Wine tells it to; the switch itself is shown on the same
    window reading the setting where Windows stores it."""

    # A scheme whose roles differ, so that a role drawn in another role's colour shows.
    SCHEME = {"window": (0, 0, 0), "window text": (255, 255, 255),
              "button face": (0, 0, 96), "button text": (255, 255, 0),
              "highlight": (0, 255, 255), "highlight text": (0, 0, 0)}

    def run_client(self, *args):
        client = self.session.start(program_command("CONTRAST_CLIENT", *args), user=self.user,
                                    name="contrast-client")
        self.assertEqual(client.wait_exit(30.0), 0, f"contrast-client {args}")
        return [line.removesuffix("\r") for line in client.stdout().splitlines()]

    def set_high_contrast(self, state):
        """Switches the setting as far as Wine lets it; returns whether Wine reports it on."""
        lines = self.run_client("high-contrast", state)
        self.addCleanup(self.run_client, "high-contrast", "off")
        return "reported on" in lines

    def use_scheme(self):
        hexes = ["%02x%02x%02x" % colour for colour in self.SCHEME.values()]
        (before,) = self.run_client("colours", *hexes)
        self.addCleanup(self.run_client, "colours", *before.split())

    def test_rechner_hears_the_switch_and_shows_what_wine_reports(self):
        calculator = self.start_calculator()
        skin = calculator.shape_pixels()
        self.use_scheme()
        reported_on = self.set_high_contrast("on")
        # The broadcast returns once every window has handled it.
        if reported_on:
            wait_until(lambda: len(calculator.shape_pixels()) > len(skin), 3.0,
                       "the holes to close in high contrast")
        else:
            self.assertEqual(calculator.shape_pixels(), skin, "the skin as Wine reports no "
                             "high contrast")
        check_every_key_computes(self, calculator)

    def test_the_window_switches_in_the_systems_colours(self):
        self.use_scheme()
        calculator = self.start_calculator(program="STORED_CONTRAST_WINDOW")
        skin = calculator.shape_pixels()
        other = self.session.start(["xlogo"], user=self.user)
        self.addCleanup(other.stop)
        calculator.wait_for_opacity(155)

        self.set_high_contrast("on")
        _, _, width, height = calculator.geometry()
        wait_until(lambda: calculator.shape_pixels() == {(x, y) for x in range(width)
                                                        for y in range(height)},
                   3.0, "the holes to close")
        calculator.wait_for_opacity(255)

        def face_in_the_scheme():
            face = Face(calculator)
            return face if face.pixel(1, 1) == self.SCHEME["window"] else None
        face = wait_until(face_in_the_scheme, 3.0, "the face in the scheme's colours")
        for key, rectangle in KEYS.items():
            left, top, key_width, _ = rectangle
            inside = face.scaled(rectangle, inset=round(2 * face.scale))
            colours = [face.pixel(x, y) for x, y in inside]
            self.assertEqual(max(set(colours), key=colours.count), self.SCHEME["button face"],
                             f"the face of key {key}")
            # The top edge, or the bottom edge of the key above where that overlaps it by a
            # row, within the pixel that scaling may move them by.
            x, y = round((left + key_width / 2) * face.scale), round(top * face.scale)
            self.assertIn(self.SCHEME["window text"],
                          [face.pixel(x, row) for row in range(y - 1, y + 3)],
                          f"the frame of key {key}")
            label = max(colours, key=lambda c: contrast_ratio(c, self.SCHEME["button face"]))
            self.assertGreaterEqual(contrast_ratio(label, self.SCHEME["button face"]), 7.0,
                                    f"the label of key {key}")
        check_every_key_computes(self, calculator)

        # The display as at the start: its texts are in the window-text colour, here white, the
        # colour key, so they are part of the skin's shape.
        calculator.click_keys("A")
        self.set_high_contrast("off")
        wait_until(lambda: calculator.shape_pixels() == skin, 3.0, "the skin's holes")
        other_again = self.session.start(["xlogo"], user=self.user)
        self.addCleanup(other_again.stop)
        calculator.wait_for_opacity(155)


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
