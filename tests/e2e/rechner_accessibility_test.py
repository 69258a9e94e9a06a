"""End-to-end tests of the calculator as a screen reader finds it on Linux: its tree on the
AT-SPI bus read and worked by another process (atspi_client.py), and the libraries the
calculator maps when no screen reader listens.

The classes on the bus need a private session bus of their own; CTest runs them under
dbus-run-session. By hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal dbus-run-session -- \\
        python3 tests/e2e/rechner_accessibility_test.py [-v] ScreenReaderOnTheBus
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal \\
        python3 tests/e2e/rechner_accessibility_test.py [-v] WithoutSessionBus
"""

import json
import os
import re
import subprocess
import time
import unittest
from pathlib import Path

from calculator import HEIGHT, KEYS, WIDTH, CalculatorTestCase
from screen_reader import PrivateAccessibilityBus
from xsession import wait_until

CLIENT = Path(__file__).resolve().parent / "atspi_client.py"
# Debian's own interpreter, which has the GObject bindings; the first python3 may not.
SYSTEM_PYTHON = "/usr/bin/python3"
CLIENT_TIMEOUT = 10.0
# The keys as a person says them, and the display texts by what they show.
KEY_NAMES = {"Null", "Eins", "Zwei", "Drei", "Vier", "Fünf", "Sechs", "Sieben", "Acht", "Neun",
             "Komma", "Plus", "Minus", "Mal", "Geteilt durch", "Gleich", "Eingabe löschen",
             "Alles löschen"}
DISPLAY_DESCRIPTIONS = {"Eingabe", "Letzte Zahl", "Rechenzeichen"}
# What a mapped file's name starts with when it belongs to D-Bus, GLib and its bus client, or
# the accessibility stack.
BUS_LIBRARIES = ("libdbus-1", "libgio-2.0", "libglib-2.0", "libgobject-2.0")
ACCESSIBILITY_LIBRARIES = ("libatk-1.0", "libatk-bridge-2.0", "libatspi", "librechner-atk")
# The application object's path on the accessibility bus, the registry's as a program's.
ROOT = "/org/a11y/atspi/accessible/root"
# A negative can only be watched for a while: how long the calculator is given to load what it
# should not, once it has read the bus's answer.
SETTLE_SECONDS = 1.0


def mapped_libraries(pid):
    """The names of the files mapped into the process."""
    with open(f"/proc/{pid}/maps", encoding="utf-8") as maps:
        return {Path(line.split()[5]).name for line in maps if len(line.split()) >= 6}


def mapped_from(pid, prefixes):
    return sorted(name for name in mapped_libraries(pid) if name.startswith(prefixes))


class ScreenReaderTestCase(PrivateAccessibilityBus, CalculatorTestCase):
    """Tests on the session bus that dbus-run-session provides; the switching here must stay in
    this session, not turn the tester's own desktop accessible, nor reach another session's
    bus."""

    def switch_accessibility(self, enabled):
        """Sets the accessibility bus's switch, as a screen reader does when it starts; the
        first call starts the accessibility bus."""
        self.session.tool("gdbus", "call", "--session", "--dest", "org.a11y.Bus",
                          "--object-path", "/org/a11y/bus", "--method",
                          "org.freedesktop.DBus.Properties.Set", "org.a11y.Status",
                          "IsEnabled", "<true>" if enabled else "<false>")

    @staticmethod
    def client_command(calculator, *client_args):
        return [SYSTEM_PYTHON, "-W", "ignore", str(CLIENT), str(calculator.program.pid),
                "--timeout", str(CLIENT_TIMEOUT), *client_args]

    def read_tree(self, calculator, *client_args):
        result = subprocess.run(self.client_command(calculator, *client_args),
                                env=self.session.env(self.user), capture_output=True, text=True,
                                timeout=6 * CLIENT_TIMEOUT)
        self.assertEqual(result.returncode, 0, f"the AT-SPI client failed: {result.stderr}")
        tree = json.loads(result.stdout)
        self.assertIsNotNone(tree["application"],
                             "the calculator did not appear on the accessibility bus; its "
                             f"standard error: {calculator.program.stderr()!r}")
        return tree


class ScreenReaderOnTheBus(ScreenReaderTestCase):

    def setUp(self):
        super().setUp()
        self.switch_accessibility(True)

    def test_screen_reader_finds_the_keys_and_texts_where_they_are_painted(self):
        calculator = self.start_calculator()
        left, top, width, height = calculator.geometry()
        tree = self.read_tree(calculator)

        self.assertEqual(tree["application"]["name"], "Rechner")
        self.assertEqual(tree["frames"], 1)
        frame = tree["frame"]
        self.assertEqual((frame["name"], frame["role"]), ("Rechner", "frame"))
        self.assertEqual(frame["extents"], [left, top, WIDTH, HEIGHT])
        self.assertIn("active", frame["states"], "the window manager activated the window")

        children = tree["children"]
        buttons = {c["name"]: c for c in children if c["role"] == "push button"}
        labels = {c["description"]: c for c in children if c["role"] == "label"}
        self.assertEqual(len(children), 22)
        self.assertEqual(set(buttons), KEY_NAMES)
        self.assertEqual(set(labels), DISPLAY_DESCRIPTIONS)
        for child in children:
            x, y, w, h = child["extents"]
            self.assertTrue(w > 0 and h > 0 and left <= x and x + w <= left + width
                            and top <= y and y + h <= top + height,
                            f"{child['name'] or child['description']} at {child['extents']} lies "
                            f"outside the window at {(left, top, width, height)}")
        # The key's place is its click region, which calculator.py clicks.
        key_left, key_top, key_width, key_height = KEYS["7"]
        self.assertEqual(buttons["Sieben"]["extents"],
                         [left + key_left, top + key_top, key_width, key_height])
        self.assertEqual(buttons["Plus"]["description"], "plus")
        for name, button in buttons.items():
            self.assertEqual([a["localized"] for a in button["actions"]], ["Drücken"], name)
            self.assertNotEqual(button["actions"][0]["key"], "", name)
        self.assertEqual([buttons[name]["actions"][0]["key"] for name in
                          ("Sieben", "Plus", "Gleich", "Alles löschen")],
                         ["7", "Plus", "Eingabetaste", "Esc"])

        # The display as a whole is the one element a reader is on: read-only text holding the
        # number it shows, named after a result only. The display texts stay as they are.
        display = next(c for c in children if c["role"] == "text")
        self.assertEqual(children.index(display), 0, "the display is read first")
        self.assertEqual((display["name"], display["description"], display["text"]),
                         ("", "Anzeige", "0"))
        self.assertTrue({"focusable", "focused", "read-only"} <= set(display["states"]),
                        display["states"])
        self.assertNotIn("editable", display["states"])
        entry = labels["Eingabe"]
        self.assertEqual((entry["name"], entry["text"]), ("0", "0"))
        self.assertNotIn("focused", entry["states"])
        for description, label in labels.items():
            self.assertEqual(label["attributes"].get("live"), "polite", description)
        for text in (display, *labels.values()):
            self.assertEqual(text["run"], [0, len(text["text"])], text["description"])

    def test_pressed_keys_are_told_once_and_each_result_is_announced(self):
        calculator = self.start_calculator()
        keys = ["Sieben", "Plus", "Acht", "Gleich", "Zwei", "Gleich", "Gleich"]
        tree = self.read_tree(calculator, "--press", *keys)
        presses = tree["press"]
        self.assertEqual([p["key"] for p in presses], keys)
        self.assertTrue(all(p["accepted"] for p in presses))

        def heard(press, source):
            return [(e["type"], e["data"]) for e in press["events"] if e["source"] == source]
        name = "object:property-change:accessible-name"
        # Sieben: the entry's name and text change, the old text removed first; the display's
        # text changes, but not its name, since a reader echoes the key itself.
        self.assertEqual(heard(presses[0], "Eingabe"),
                         [(name, "7"), ("object:text-changed:delete", "0"),
                          ("object:text-changed:insert", "7")])
        self.assertEqual(heard(presses[0], "Anzeige"),
                         [("object:text-changed:delete", "0"),
                          ("object:text-changed:insert", "7")])
        # This client listens for announcements, so each result is one, equal ones too: the
        # running result after "+" and the result after "=". The display's name stays empty,
        # so that a reader reading the display hears its number once.
        announced = "object:announcement"
        results = [[data for kind, data in heard(press, "Anzeige") if kind == announced]
                   for press in presses]
        self.assertEqual(results, [[], ["7"], [], ["15"], [], ["2"], ["2"]])
        self.assertEqual([kind for press in presses for kind, _ in heard(press, "Anzeige")
                          if kind == name], [])
        after = {c["description"]: c for c in tree["after"]}
        self.assertEqual((after["Anzeige"]["name"], after["Anzeige"]["text"]), ("", "2"))
        self.assertEqual(after["Letzte Zahl"]["name"], "2")
        # The presses took the click's route: the display shows it to the user too.
        self.assertEqual(calculator.copied_display(), "2")
        # The bridge is taken down with the window, and the program ends as usual.
        self.assertEqual(calculator.close_and_wait(), 0)

    def test_the_display_takes_the_focus_whenever_the_calculator_becomes_active(self):
        calculator = self.start_calculator()
        self.read_tree(calculator)  # the calculator is on the bus
        other = self.session.start(["xlogo"], user=self.user)
        self.addCleanup(other.stop)
        calculator.wait_for_opacity(155)
        listener = self.session.start(self.client_command(calculator, "--await-focus"),
                                      user=self.user, name="atspi_client")
        self.addCleanup(listener.stop)
        self.assertEqual(listener.read_line(CLIENT_TIMEOUT), "listening", listener.stderr())
        # Clicking the operator label activates the window and does nothing else.
        calculator.click_point((100, 50))
        listener.wait_exit(3 * CLIENT_TIMEOUT)
        events = json.loads(listener.stdout().partition("\n")[2])["events"]
        self.assertIn({"type": "object:state-changed:focused", "source": "Anzeige", "detail": 1,
                       "data": None}, events)


class ScreenReaderSwitchedOff(ScreenReaderTestCase):

    def answers(self, pid):
        """Whether the calculator answers a screen reader's question (its application's name)
        on the accessibility bus within a second."""
        def call(*args, timeout=5):
            return subprocess.run(["gdbus", "call", *args, "--timeout", str(timeout)],
                                  env=self.session.env(self.user), capture_output=True, text=True,
                                  timeout=10)
        address = re.search(r"'([^']*)'", call(
            "--session", "--dest", "org.a11y.Bus", "--object-path", "/org/a11y/bus",
            "--method", "org.a11y.Bus.GetAddress").stdout).group(1)
        registered = call("--address", address, "--dest", "org.a11y.atspi.Registry",
                          "--object-path", ROOT, "--method",
                          "org.a11y.atspi.Accessible.GetChildren").stdout
        for name in re.findall(r"\('(:[\d.]+)'", registered):
            owner = call("--address", address, "--dest", "org.freedesktop.DBus", "--object-path",
                         "/org/freedesktop/DBus", "--method",
                         "org.freedesktop.DBus.GetConnectionUnixProcessID", name).stdout
            if re.search(rf"\b{pid}\b", owner):
                answer = call("--address", address, "--dest", name, "--object-path", ROOT,
                              "--method", "org.freedesktop.DBus.Properties.Get",
                              "org.a11y.atspi.Accessible", "Name", timeout=1)
                return answer.returncode == 0 and "Rechner" in answer.stdout
        raise AssertionError(f"process {pid} is not registered on the accessibility bus")

    def test_no_accessibility_library_is_loaded_until_a_screen_reader_switches_it_on(self):
        self.switch_accessibility(False)
        calculator = self.start_calculator()
        pid = calculator.program.pid
        # libdbus mapped: the calculator has asked the bus.
        wait_until(lambda: mapped_from(pid, ("libdbus-1",)), 5.0, "the calculator to ask the bus")
        time.sleep(SETTLE_SECONDS)
        self.assertEqual(mapped_from(pid, ACCESSIBILITY_LIBRARIES), [])

        self.switch_accessibility(True)
        wait_until(lambda: mapped_from(pid, ("librechner-atk",)), 5.0,
                   "the calculator to load its screen-reader library")
        self.assertEqual(self.read_tree(calculator)["frame"]["name"], "Rechner")
        self.assertTrue(self.answers(pid))

        # Switched off, the calculator stops serving the bus: nothing of it runs while idle.
        self.switch_accessibility(False)
        wait_until(lambda: not self.answers(pid), 5.0, "the calculator to stop answering")
        # Switched on again, the library is still there and answers at once.
        self.switch_accessibility(True)
        wait_until(lambda: self.answers(pid), 5.0, "the calculator to answer again")


class WithoutSessionBus(CalculatorTestCase):

    def setUp(self):
        super().setUp()
        saved = os.environ.pop("DBUS_SESSION_BUS_ADDRESS", None)
        if saved is not None:
            self.addCleanup(os.environ.__setitem__, "DBUS_SESSION_BUS_ADDRESS", saved)

    def test_without_a_session_bus_nothing_of_dbus_or_accessibility_is_mapped(self):
        calculator = self.start_calculator()
        # A copy answered comes from the event loop, which runs only once the bus was looked for.
        calculator.type("7")
        self.assertEqual(calculator.copied_display(), "7")
        pid = calculator.program.pid
        self.assertEqual(mapped_from(pid, BUS_LIBRARIES + ACCESSIBILITY_LIBRARIES), [])


if __name__ == "__main__":
    unittest.main()
