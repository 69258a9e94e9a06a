"""End-to-end test of the calculator with the screen reader people use on Linux: Orca, in a
private session, speaking German through a speech server that writes each utterance to a file
(screen_reader.py). A person types 7 + 8 =, 2 + 2 =, asks where the focus is, and uses one of
the reader's own commands; the same is done with a tiny GTK 3 window (gtk_display_window.py),
which shows what Orca does for a toolkit its users trust. The calculator must say at least as
much, and also speak each result by itself, once.

CTest runs it under dbus-run-session. By hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal dbus-run-session -- \\
        python3 tests/e2e/rechner_orca_test.py [-v]
Orca's debug file and the speech log stay in the user's scratch directory while a test runs;
a failure's message quotes what Orca said.
"""

import unittest
from pathlib import Path

from calculator import CalculatorTestCase
from screen_reader import Orca, PrivateAccessibilityBus, words
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
# The keys of a calculation, as xdotool names them, with what Orca echoes for each.
SEVEN_PLUS_EIGHT = [("7", "7"), ("plus", "Plus"), ("8", "8"), ("equal", "gleich")]
TWO_PLUS_TWO = [("2", "2"), ("plus", "Plus"), ("2", "2"), ("equal", "gleich")]
# Orca's desktop layout: where am I on keypad Enter, flat review on and off on keypad minus.
WHERE_AM_I = "KP_Enter"
FLAT_REVIEW = "KP_Subtract"
FLAT_REVIEW_ON = "Die Übersicht betreten"
FLAT_REVIEW_OFF = "Die Übersicht wird verlassen"


def numbers(lines):
    """The numbers said, in order."""
    return [word for line in lines for word in words(line)
            if word.lstrip("-").replace(",", "").isdigit()]


class ScreenReaderSpeaks(PrivateAccessibilityBus, CalculatorTestCase):
    """Orca in the class's X session, for a German user."""

    def setUp(self):
        super().setUp()
        self.user = self.new_user(LOCALE)
        self.orca = Orca(self.session, self.user)
        self.addCleanup(self.orca.close)

    def scenario(self, start, display, says_the_display=False):
        """What Orca says, step by step, for a program started by start() whose display is read
        by display(): (heard by step, the display after a reader command and two digits). Where
        the program says_the_display, each step also waits for Orca to say what it shows, so
        that a slow moment is never taken for silence."""
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
        orca.key(FLAT_REVIEW, FLAT_REVIEW_OFF, SPEECH_TIMEOUT)
        orca.key("3", "3", SPEECH_TIMEOUT)
        return heard, display()

    def test_orca_says_every_key_and_result_and_keeps_its_commands(self):
        comparison = {}

        def start_comparison():
            comparison["program"] = self.session.start([SYSTEM_PYTHON, COMPARISON],
                                                       user=self.user, name="gtk window")

        def comparison_display():
            # The comparison window tells what it shows after each key; it has no clipboard.
            def shown():
                lines = comparison["program"].stdout().splitlines()
                return lines[-2:-1] == ["key 3"] and lines[-1].removeprefix("shows ")
            return wait_until(shown, SPEECH_TIMEOUT, "the GTK window to take the key 3")

        trusted, trusted_display = self.scenario(start_comparison, comparison_display)
        trusted_keys = comparison["program"].stdout().splitlines()
        comparison["program"].stop()

        calculator = {}

        def start_calculator():
            calculator["window"] = self.start_calculator()

        ours, our_display = self.scenario(start_calculator,
                                          lambda: calculator["window"].copied_display(), True)

        self.assertEqual(trusted_display, "23", f"what the GTK window received: {trusted_keys}")
        # The reader's command stayed the reader's: 2 and 3 made 23, no subtraction began.
        self.assertEqual(our_display, "23", f"Orca's command reached the calculator: {ours}")
        self.assertIn("0", numbers(ours["start"]), ours)
        self.assertEqual(numbers(ours["7 + 8 ="]).count("15"), 1,
                         f"the result 15 is said once, unasked: {ours['7 + 8 =']}; what Orca "
                         f"heard and said last: {self.orca.why('OBJECT EVENT:|SPEECH OUTPUT')}")
        self.assertEqual(numbers(ours["2 + 2 ="]).count("4"), 1, ours["2 + 2 ="])
        self.assertIn("4", numbers(ours["where am I"]), ours["where am I"])
        self.assertIn("2", numbers(ours["flat review"]), f"flat review reads the display: "
                      f"{ours['flat review']}; {self.orca.why('FLAT REVIEW')}")
        for step, said in trusted.items():
            missing = [number for number in numbers(said) if number not in numbers(ours[step])]
            self.assertEqual(missing, [], f"{step}: Orca said {said} for the GTK window, "
                             f"but {ours[step]} for the calculator")


if __name__ == "__main__":
    unittest.main()
