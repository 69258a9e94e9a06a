"""End-to-end test of the calculator with the screen reader people use on Linux: Orca, in a
private session, speaking German through a speech server that writes each utterance to a file
(screen_reader.py). A person types 7 + 8 =, 2 + 2 =, asks where the focus is, and uses one of
the reader's own commands; the same is done with a tiny GTK 3 window (gtk_display_window.py),
which shows what Orca does for a toolkit its users trust. The calculator must say at least as
much, speak each result by itself, once, equal results too, and tell what the display alone
does not: a cleared display, a digit it had no room for, a copy and a paste; a held key offers
Orca every repeat, a held command of Orca's stays Orca's, and the menu opened from the keyboard
is heard.

Two readers: Debian 12's Orca 43, and Orca 48 as Debian's current release has it, which speaks
announcements and re-reads an object whose name changes; ScreenReader48Speaks runs where the
newer reader stands in for the system's (scripts/newer-reader.sh).

CTest runs them under dbus-run-session. By hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal dbus-run-session -- \\
        python3 tests/e2e/rechner_orca_test.py [-v] ScreenReaderSpeaks
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal scripts/newer-reader.sh run \\
        dbus-run-session -- python3 tests/e2e/rechner_orca_test.py [-v] ScreenReader48Speaks
Orca's debug file and the speech log stay in the user's scratch directory while a test runs;
a failure's message quotes what Orca said.
"""

import subprocess
import time
import unittest
from pathlib import Path

from calculator import CalculatorTestCase
from screen_reader import Orca, PrivateAccessibilityBus, contains, words
from xsession import wait_until

COMPARISON = Path(__file__).resolve().parent / "gtk_display_window.py"
# Debian's own interpreter, which has the GObject bindings; the first python3 may not.
SYSTEM_PYTHON = "/usr/bin/python3"
LOCALE = "de_DE.UTF-8"
# How long Orca gets to say what a key or the start brings about, on a busy machine too.
SPEECH_TIMEOUT = 30.0
# A negative, or a count, can only be watched for a while: how long Orca must have been silent
# before what it said for a step is taken as all.
SETTLE_SECONDS = 1.5
# Orca's desktop layout: where am I on keypad Enter, flat review on and off on keypad minus.
WHERE_AM_I = "KP_Enter"
FLAT_REVIEW = "KP_Subtract"
FLAT_REVIEW_ON = "Die Übersicht betreten"
FLAT_REVIEW_OFF = "Die Übersicht wird verlassen"
# The keys that open the menu, and its one item.
MENU_KEYS = ("shift+F10", "Menu")
CLOSE_ITEM = "Schließen"
# How long a key is held, and the keyboard's repeat (first after, then per second) meanwhile:
# slow enough that the repeats of "5" stay within the display's digits.
HOLD_SECONDS = 1.2
REPEAT = ("400", "8")
# How long Orca may take to work off a held key's repeats on a busy machine.
HELD_TIMEOUT = 30.0
FLAT_REVIEW_NEXT_LINE = "KP_Page_Up"
# What the display texts are called: a line of these words alone is a blank text read out.
DISPLAY_TEXT_WORDS = {"Letzte", "Zahl", "Rechenzeichen", "Eingabe"}
# The keys of a calculation, as xdotool names them, with what Orca echoes for each: Orca 43
# names a sign, 48 says it; None where the echo is not known and Orca's silence is waited for.
PLUS = ("plus", ("Plus", "+"))
EQUAL = ("equal", None)
SEVEN_PLUS_EIGHT = [("7", "7"), PLUS, ("8", "8"), EQUAL]
TWO_PLUS_TWO = [("2", "2"), PLUS, ("2", "2"), EQUAL]
ESCAPE = [("Escape", None)]
# The calculator's own steps after the common ones, each with the number it must say and how
# often (a digit's echo and the running result an operator shows count), or the words it must
# say.
CALCULATOR_STEPS = [
    ("Escape", ESCAPE, ("0", None)),
    ("2 × 1 =", [("2", "2"), ("asterisk", None), ("1", "1"), EQUAL], ("2", 3)),
    ("3 + 3 =", [("3", "3"), PLUS, ("3", "3"), EQUAL], ("6", 1)),
    ("then −", [("minus", None)], ("6", 1)),
    ("", ESCAPE, None),
    ("5 × 1 = =", [("5", "5"), ("asterisk", None), ("1", "1"), EQUAL, EQUAL], ("5", 4)),
    ("where am I after 5", [(WHERE_AM_I, None)], ("5", 1)),
    ("", ESCAPE + [("type", None)], None),
    ("a refused digit", [("6", None)], "Keine weitere Ziffer"),
    ("", ESCAPE + [("4", "4"), ("2", "2")], None),
    ("a copy", [("ctrl+c", None)], "Kopiert 42"),
    ("", ESCAPE, None),
    ("a paste", [("ctrl+v", None)], "Eingefügt 42"),
]
# What fills the entry before a digit it has no room for.
FULL_ENTRY = "123456789012345"


def numbers(lines):
    """The numbers said, in order."""
    return [word for line in lines for word in words(line)
            if word.lstrip("-").replace(",", "").isdigit()]


def orca_version():
    """The version of the Orca this process would start."""
    found = subprocess.run([SYSTEM_PYTHON, "-c", "from orca import orca_platform as p; "
                            "print(p.version)"], capture_output=True, text=True, check=True)
    return found.stdout.strip()


class ScreenReaderSpeaks(PrivateAccessibilityBus, CalculatorTestCase):
    """Orca in the class's X session, for a German user."""

    ORCA = "43."

    @classmethod
    def setUpClass(cls):
        version = orca_version()
        if not version.startswith(cls.ORCA):
            raise AssertionError(f"Orca {version} where Orca {cls.ORCA}x was to run")
        super().setUpClass()

    def setUp(self):
        super().setUp()
        self.user = self.new_user(LOCALE)
        self.orca = Orca(self.session, self.user)
        self.addCleanup(self.orca.close)

    def scenario(self, start, display, says_the_display=False):
        """What Orca says, step by step, for a program started by start() whose display is read
        by display(last key): (heard by step, the display after a reader command and two
        digits). Where the program says_the_display, each step also waits for Orca to say what
        it shows, so that a slow moment is never taken for silence."""
        orca = self.orca
        heard = {}

        def wait_for_number(number, since, what):
            if says_the_display:
                orca.wait_for(lambda line: number in numbers([line]), since, SPEECH_TIMEOUT,
                              f"Orca to say {number} {what}")
        mark = orca.mark()
        start()
        orca.wait_for_words("Rechner", mark, SPEECH_TIMEOUT)
        orca.wait_for(lambda line: "0" in words(line), mark, SPEECH_TIMEOUT, "the display's 0")
        heard["start"] = orca.lines(mark)
        for step, keys, result in (("7 + 8 =", SEVEN_PLUS_EIGHT, "15"),
                                   ("2 + 2 =", TWO_PLUS_TWO, "4")):
            mark = orca.mark()
            for key, echo in keys:
                orca.key(key, echo, SPEECH_TIMEOUT)
            wait_for_number(result, mark, f"as the result of {step}")
            # A toolkit may leave the result unsaid: what was said is compared afterwards.
            orca.wait_until_quiet(SETTLE_SECONDS, SPEECH_TIMEOUT)
            heard[step] = orca.lines(mark)
        mark = orca.mark()
        self.session.tool("xdotool", "key", WHERE_AM_I)
        orca.wait_for(lambda line: True, mark, SPEECH_TIMEOUT, "Orca to say where the focus is")
        wait_for_number("4", mark, "where the focus is")
        orca.wait_until_quiet(SETTLE_SECONDS, SPEECH_TIMEOUT)
        heard["where am I"] = orca.lines(mark)
        orca.key("2", "2", SPEECH_TIMEOUT)
        # Flat review reads what the window shows, from where the focus is: the display first.
        mark = orca.key(FLAT_REVIEW, FLAT_REVIEW_ON, SPEECH_TIMEOUT)
        wait_for_number("2", mark, "in flat review")
        orca.wait_until_quiet(SETTLE_SECONDS, SPEECH_TIMEOUT)
        heard["flat review"] = orca.lines(mark)
        # Line by line on through the window: no blank line among them.
        mark = orca.mark()
        for _ in range(3):
            orca.key(FLAT_REVIEW_NEXT_LINE, None, SPEECH_TIMEOUT)
        heard["flat review lines"] = orca.lines(mark)
        orca.key(FLAT_REVIEW, FLAT_REVIEW_OFF, SPEECH_TIMEOUT)
        # Held, the command repeats, and each repeat is Orca's again; flat review ends after.
        mark = orca.mark()
        self.hold(FLAT_REVIEW)
        orca.wait_until_quiet(SETTLE_SECONDS, SPEECH_TIMEOUT)
        toggles = [line for line in orca.lines(mark)
                   if FLAT_REVIEW_ON in line or FLAT_REVIEW_OFF in line]
        if toggles and FLAT_REVIEW_ON in toggles[-1]:
            orca.key(FLAT_REVIEW, FLAT_REVIEW_OFF, SPEECH_TIMEOUT)
        orca.key("3", "3", HELD_TIMEOUT)
        shown = display("3")
        presses = orca.presses("5")
        self.hold("5")
        # Each repeat brings Orca and the program a round of questions, which on a busy machine
        # may wait on each other for a while: Orca answers its own command again first.
        orca.key(FLAT_REVIEW, FLAT_REVIEW_ON, HELD_TIMEOUT)
        orca.key(FLAT_REVIEW, FLAT_REVIEW_OFF, SPEECH_TIMEOUT)
        held = display("5")
        heard["held 5"] = (held.count("5"), orca.presses("5") - presses)
        return heard, shown

    def hold(self, key):
        """Holds a key down while the keyboard repeats it."""
        self.session.tool("xset", "r", "rate", *REPEAT)
        self.session.tool("xdotool", "keydown", key)
        time.sleep(HOLD_SECONDS)
        self.session.tool("xdotool", "keyup", key)

    def calculator_steps(self):
        """What Orca says for each of the calculator's own steps."""
        orca = self.orca
        heard = {}
        for step, keys, _ in CALCULATOR_STEPS:
            mark = orca.mark()
            for key, echo in keys:
                if key == "type":
                    self.session.tool("xdotool", "type", "--delay", "50", FULL_ENTRY)
                    orca.wait_until_quiet(SETTLE_SECONDS, SPEECH_TIMEOUT * 3)
                else:
                    orca.key(key, echo, SPEECH_TIMEOUT)
            orca.wait_until_quiet(SETTLE_SECONDS, SPEECH_TIMEOUT)
            heard[step] = orca.lines(mark)
        return heard

    def test_orca_says_every_key_and_result_and_keeps_its_commands(self):
        comparison = {}

        def start_comparison():
            comparison["program"] = self.session.start([SYSTEM_PYTHON, COMPARISON],
                                                       user=self.user, name="gtk window")

        def comparison_display(key):
            # The comparison window tells what it shows after each key; it has no clipboard.
            def shown():
                lines = comparison["program"].stdout().splitlines()
                return lines[-2:-1] == [f"key {key}"] and lines[-1].removeprefix("shows ")
            return wait_until(shown, SPEECH_TIMEOUT, f"the GTK window to take the key {key}")

        trusted, trusted_display = self.scenario(start_comparison, comparison_display)
        trusted_keys = comparison["program"].stdout().splitlines()
        comparison["program"].stop()

        calculator = {}

        def start_calculator():
            calculator["window"] = self.start_calculator()

        ours, our_display = self.scenario(start_calculator,
                                          lambda _key: calculator["window"].copied_display(), True)
        # The menu from the keyboard: Orca names its item, and Escape leaves the number alone.
        for key in MENU_KEYS:
            before = calculator["window"].copied_display()
            mark = self.orca.mark()
            self.session.tool("xdotool", "key", key)
            self.orca.wait_for_words(CLOSE_ITEM, mark, SPEECH_TIMEOUT)
            self.session.tool("xdotool", "key", "Escape")
            self.orca.wait_until_quiet(SETTLE_SECONDS, SPEECH_TIMEOUT)
            self.assertEqual(calculator["window"].copied_display(), before,
                             f"{key}, Escape: {self.orca.lines(mark)}")

        ours.update(self.calculator_steps())
        print(f"\nOrca {orca_version()} said: {ours}", flush=True)

        self.assertEqual(trusted_display, "23", f"what the GTK window received: {trusted_keys}")
        # The reader's command stayed the reader's: 2 and 3 made 23, no subtraction began.
        self.assertEqual(our_display, "23", f"Orca's command reached the calculator: {ours}")
        for name, said in (("GTK window", trusted), ("calculator", ours)):
            typed, offered = said.pop("held 5")
            # Every press the program took went to Orca first: not only the first of a repeat.
            self.assertGreater(typed, 2, f"the {name} took {typed} of a held 5")
            self.assertEqual(offered, typed, f"the {name} took {typed} of a held 5, but "
                             f"offered Orca {offered}")
        self.assertIn("0", numbers(ours["start"]), ours)
        self.assertEqual(numbers(ours["7 + 8 ="]).count("15"), 1,
                         f"the result 15 is said once, unasked: {ours['7 + 8 =']}; what Orca "
                         f"heard and said last: {self.orca.why('OBJECT EVENT:|SPEECH OUTPUT')}")
        self.assertEqual(numbers(ours["2 + 2 ="]).count("4"), 1, ours["2 + 2 ="])
        self.assertEqual(numbers(ours["where am I"]).count("4"), 1,
                         f"the number once: {ours['where am I']}")
        self.assertIn("2", numbers(ours["flat review"]), f"flat review reads the display: "
                      f"{ours['flat review']}; {self.orca.why('FLAT REVIEW')}")
        self.assertEqual([line for line in ours["flat review lines"]
                          if set(words(line)) <= DISPLAY_TEXT_WORDS], [],
                         f"blank lines in flat review: {ours['flat review lines']}")
        for step, _, expected in CALCULATOR_STEPS:
            with self.subTest(step):
                said = ours[step]
                if isinstance(expected, str):
                    self.assertTrue(contains(words(" ".join(said)), words(expected)),
                                    f"{step}: {expected!r} in {said}")
                elif expected is not None and expected[1] is None:
                    self.assertIn(expected[0], numbers(said), f"{step}: {said}")
                elif expected is not None:
                    self.assertEqual(numbers(said).count(expected[0]), expected[1],
                                     f"{step}: {expected[0]} {expected[1]} times in {said}")
        for step, said in trusted.items():
            missing = [number for number in numbers(said) if number not in numbers(ours[step])]
            self.assertEqual(missing, [], f"{step}: Orca said {said} for the GTK window, "
                             f"but {ours[step]} for the calculator")


class ScreenReader48Speaks(ScreenReaderSpeaks):
    """The same with Orca 48, where the newer reader stands in for the system's."""

    ORCA = "48."


if __name__ == "__main__":
    unittest.main()
