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

import contextlib
import os
import shutil
import subprocess
import tempfile
import unittest
from unittest import mock
from pathlib import Path

import rechner_desktop_test as desktop
import rechner_session_end_test as session_end
import rechner_settings_test as settings
import rechner_window_test as window
import x11
from calculator import BODY_POINT, HEIGHT, KEYS, WIDTH, CalculatorTestCase, calculator_windows, \
    is_owner_window, titled_windows
from rechner_contrast_test import Face, check_every_key_computes, contrast_ratio
from stores import WineStores, user_stores
from xsession import EMULATOR, Program, UserDirs, program_command, user_env, wait_until


# Roles as the accessibility interface numbers them.
ROLE_STATICTEXT = "41"
ROLE_PUSHBUTTON = "43"
# The keys as a person says them.
KEY_NAMES = {"Null", "Eins", "Zwei", "Drei", "Vier", "F\u00fcnf", "Sechs", "Sieben", "Acht",
             "Neun", "Komma", "Plus", "Minus", "Mal", "Geteilt durch", "Gleich",
             "Eingabe l\u00f6schen", "Alles l\u00f6schen"}


# Wine answers a request for "MS Sans Serif" in bold with the sans face fontconfig offers. Of the
# faces Debian's desktops install, DejaVu Sans measures as the Windows face does (13 pixels at
# 96 dpi), Noto Sans and Nimbus Sans do not; so that the window is the one Windows shows, Wine's
# processes see the others not at all.
WINDOWS_LIKE_FONTS = """<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
  <selectfont><rejectfont>
    <glob>/usr/share/fonts/truetype/noto/*</glob>
    <glob>/usr/share/fonts/opentype/urw-base35/*</glob>
    <glob>/usr/share/fonts/type1/urw-base35/*</glob>
  </rejectfont></selectfont>
</fontconfig>
"""


class WineServer:
    """A persistent wineserver for the test class, as a host's session would have one; ended
    before the class's X server, whose display its processes use."""

    @classmethod
    def setUpClass(cls):
        fonts = tempfile.TemporaryDirectory(prefix="rechner-wine-fonts-")
        cls.addClassCleanup(fonts.cleanup)
        conf = Path(fonts.name) / "fonts.conf"
        conf.write_text(WINDOWS_LIKE_FONTS)
        cls.addClassCleanup(os.environ.pop, "FONTCONFIG_FILE", None)
        os.environ["FONTCONFIG_FILE"] = str(conf)
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
        calculator.wait_for_keyboard_focus()
        calculator.press("Escape")
        calculator.type(text)
        self.assertEqual(calculator.copied_display(), shown, f"typed {text!r} {when}")

    def test_screen_reader_finds_reads_and_presses_the_keys(self):
        calculator = self.start_calculator()
        self.read_and_press_the_keys(calculator)
        # Where the system has UI Automation's notification, each key's display is said through
        # it as it shows. Wine 8 has none: a stand-in of it lies beside a copy of the
        # calculator, and writes what it was told.
        calculator.program.stop()
        announcing = self.start_calculator(program=self.beside_the_notification_stand_in())
        shown = self.read_and_press_the_keys(announcing)
        said = [line.removesuffix("\r").partition("|")[2]
                for line in announcing.program.stderr().splitlines()
                if line.startswith("notification|")]
        # The test reads the display back through a copy, which is said too, with the number.
        self.assertEqual(said, shown + [f"Kopiert: {shown[-1]}"])

    def beside_the_notification_stand_in(self):
        """Copies the calculator beside the notification's stand-in, which Wine is told to load
        before its own library; returns the environment variable that names the copy."""
        folder = self.user.root / "notification"
        folder.mkdir()
        copy = folder / Path(os.environ["RECHNER"]).name
        shutil.copy(os.environ["RECHNER"], copy)
        shutil.copy(os.environ["NOTIFICATION_STAND_IN"], folder)
        overrides = os.environ.get("WINEDLLOVERRIDES", "")
        environment = mock.patch.dict(os.environ, {
            "RECHNER_BESIDE_STAND_IN": str(copy),
            "WINEDLLOVERRIDES": f"{overrides};uiautomationcore=n,b" if overrides
            else "uiautomationcore=n,b"})
        environment.start()
        self.addCleanup(environment.stop)
        return "RECHNER_BESIDE_STAND_IN"

    def read_and_press_the_keys(self, calculator):
        """What a screen reader finds of the calculator, and the keys pressed by their actions,
        each change told as it should be; returns what the display showed after each key."""
        maps = Path(f"/proc/{calculator.program.pid}/maps")
        self.assertNotIn("oleacc", maps.read_text().lower(),
                         "the accessibility libraries load before a screen reader asks")
        client = self.session.start(program_command("ACCESSIBILITY_CLIENT"), user=self.user,
                                    name="accessibility-client")
        self.assertEqual(client.wait_exit(60.0), 0, client.stdout())
        lines = [line.removesuffix("\r").split("|") for line in client.stdout().splitlines()]
        self.assertEqual(lines[0], ["window", "Rechner"])
        children = [line for line in lines if line[0].isdigit()]
        self.assertEqual(len(children), 22)
        buttons = {name: (description, shortcut, action)
                   for _, role, name, description, _, shortcut, action in children
                   if role == ROLE_PUSHBUTTON}
        self.assertEqual(set(buttons), KEY_NAMES)
        self.assertEqual(buttons["Gleich"],
                         ("Ergebnis berechnen (oder Return/Enter auf der Tastatur)",
                          "Eingabetaste", "Dr\u00fccken"))
        self.assertEqual(buttons["Sieben"][1:], ("7", "Dr\u00fccken"))
        self.assertEqual(buttons["Plus"][1], "Plus")
        self.assertEqual(buttons["Alles l\u00f6schen"][1], "Esc")
        texts = {description: (name, action) for _, role, name, description, _, _, action
                 in children if role == ROLE_STATICTEXT}
        self.assertEqual(texts, {"Letzte Zahl": ("", ""), "Rechenzeichen": ("", ""),
                                 "Eingabe": ("0", ""), "Anzeige": ("0", "")})
        self.assertEqual([line for line in children if line[4] != "inside"], [])
        ids = {line[3]: line[0] for line in children if line[1] == ROLE_STATICTEXT}
        self.assertIn(["focus", ids["Anzeige"]], lines, "the display has the focus")

        # Each key by its action, the focused display's name after it, and each change told
        # once: the display's name whenever it changes, the display texts that changed.
        display, entry = ids["Anzeige"], ids["Eingabe"]
        last, operator = ids["Letzte Zahl"], ids["Rechenzeichen"]
        keys = [line[1:] for line in lines if line[0] == "key"]

        def names(*children):
            return sorted(f"name:{child}" for child in children)

        expected = [
            ("Sieben", "7", names(entry, display)),
            ("Plus", "7", names(last, operator, entry)),
            ("Acht", "8", names(entry, display)),
            ("Gleich", "15", names(last, operator, entry, display)),
            ("Zwei", "2", names(last, operator, entry, display)),
            ("Mal", "2", names(last, operator, entry)),
            ("Eins", "1", names(entry, display)),
            # The last number already says 2.
            ("Gleich", "2", names(operator, entry, display)),
            ("Gleich", "2", []),
        ]
        self.assertEqual([(key, focused, sorted(filter(None, events.split(","))))
                          for key, focused, events in keys], expected)
        # Where the system has UI Automation's notification the result is also said through it;
        # Wine 8 has none, and the program works without it.
        notification = next(line[1] for line in lines if line[0] == "notification")
        self.assertIn(notification, ("present", "absent"))
        self.assertEqual(calculator.copied_display(), "2")
        self.assertIn("oleacc", maps.read_text().lower())
        return [focused for _, focused, _ in keys]


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


class WineSessionEnd(WineServer, session_end.SessionEndUnderWindowManager):
    """The busy store is the host's legacy file, held open without sharing by another program;
    the ways to end are the host's close signal, Alt+F4, the taskbar entry's close and the end
    of the session."""

    close_ways = ("host signal", "Alt+F4", "taskbar")
    HOST_INI = b"; Tembra Lidorn\r\n[Einstellungen]\r\nCalcLeft=333\r\nCalcTop=222\r\n"

    @contextlib.contextmanager
    def busy_stores(self, stores):
        """The host holds Quenvik.ini open without sharing it while the with statement lasts."""
        release = self.user.root / f"release-{len(self.session.programs)}"
        holder = self.session.start(program_command(
            "FILE_HOLDER", WineStores._windows_path(stores.profile),
            WineStores._windows_path(release)), user=self.user, name="file-holder")
        self.addCleanup(holder.stop)
        try:
            self.assertEqual(holder.read_line(30.0), "held", holder.stderr())
            yield
        finally:
            release.touch()
            holder.wait_exit(10.0)

    def temporaries(self, stores):
        # The profile function rewrites the file in place and leaves nothing beside it.
        return sorted(entry.name for entry in stores.profile.parent.iterdir()
                      if entry.name.lower().startswith("quenvik") and entry != stores.profile)

    def stores_with_a_position(self):
        stores = super().stores_with_a_position()
        stores.write_profile(b"[Einstellungen]\r\n")
        return stores

    def test_a_legacy_file_held_at_start_is_never_overwritten(self):
        stores = user_stores(self.user)
        stores.write_profile(self.HOST_INI)
        with self.busy_stores(stores):
            calculator = self.start_calculator()
            # Read while held: no value for this run, and nothing copied anywhere.
            self.assertNotEqual(calculator.geometry()[:2], (333, 222))
        # Once the host lets go, a write that was still waiting would land now.
        calculator.click_keys("1")
        self.assertEqual(calculator.close_and_wait(), 0)
        self.assertEqual(stores.registry_values(), {})
        self.assertEqual(stores.profile_bytes(), self.HOST_INI)

    def start_session_end(self, *args):
        """Starts session-end-client, which ends the session for the calculator (or, given
        "cancelled", tells it that the session goes on after all)."""
        client = self.session.start(program_command("SESSION_END_CLIENT", *args),
                                    user=self.user, name="session-end-client")
        self.addCleanup(client.stop)
        return client

    def windows_told(self, client):
        """The lines of the windows session-end-client told, once it is done, each as (class,
        answer to the question, ms to the answer that the session ends, ms to the window
        hidden or -1)."""
        self.assertEqual(client.wait_exit(20.0), 0, client.stderr())
        told = [line.split() for line in client.stdout().splitlines()]
        self.assertGreaterEqual(len(told), 1, client.stdout())
        self.assertEqual(told[0][0], "RechnerApplication", told)
        for name, answer, _, _ in told:
            self.assertEqual(answer, "1", f"{name} refused the end of the session")
        return [(name, answer, int(replied), int(hidden)) for name, answer, replied, hidden
                in told]

    def assert_hidden_before_the_answer(self, told):
        _, _, replied, hidden = told[0]
        self.assertGreaterEqual(hidden, 0, f"the window still showed at the answer: {told}")
        self.assertLess(hidden, replied, f"the window went only with the answer: {told}")

    def test_the_end_of_the_session_takes_the_window_and_answers_after_the_pending_write(self):
        stores = self.stores_with_a_position()
        with self.busy_stores(stores):
            calculator = self.start_with_a_pending_write()
            # Another program refuses the end first: the calculator goes on as it was.
            cancelled = self.start_session_end("cancelled")
            self.assertEqual(cancelled.wait_exit(20.0), 0, cancelled.stderr())
            self.assertEqual([line.split()[1:] for line in cancelled.stdout().splitlines()],
                             [["1", "shown"], ["1", "shown"]])
            self.assertTrue(calculator.program.running())
            client = self.start_session_end()
            wait_until(lambda: not calculator_windows(self.session, calculator.program.pid),
                       10.0, "the window to go at the end of the session")
        # Let go while the write still has its grace: it lands before the answer.
        self.assert_hidden_before_the_answer(self.windows_told(client))
        self.assertIn(b"CalcLeft=260", stores.profile_bytes())
        self.assertEqual(calculator.program.wait_exit(5.0), 0)

    def test_the_end_of_the_session_takes_the_window_while_its_menu_is_open(self):
        stores = self.stores_with_a_position()
        with self.busy_stores(stores), x11.Display(self.session.display) as display:
            calculator = self.start_with_a_pending_write()
            before = set(display.override_redirect_windows())
            calculator.click_point(BODY_POINT, button=3)
            wait_until(lambda: set(display.override_redirect_windows()) - before, 2.0,
                       "the context menu")
            # The store stays busy for the whole grace, which the answer waits out.
            told = self.windows_told(self.start_session_end())
        self.assert_hidden_before_the_answer(told)
        self.assertEqual(calculator.program.wait_exit(5.0), 0)


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
