"""End-to-end tests of the calculator's end, whichever way it is asked for, while a write of its
position still waits for a busy store: the window goes at once, a calculator started right
after shows its own, the pending write still lands, and the program ends with 0 and leaves no
temporary file. On Linux the busy store is a host holding the writers' locks; the ways to end
are the host's close signal, Alt+F4, the session's signals and the loss of the X server. A
close also ends a start whose window a stalled window manager keeps from its first paint.

Run through CTest, or by hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal \\
        python3 tests/e2e/rechner_session_end_test.py [-v]
"""

import contextlib
import os
import signal
import time
import unittest

from calculator import BODY_POINT, CalculatorTestCase, calculator_windows
from stores import registry_file, user_stores
from xsession import XSession, program_command, wait_until

STORED = (300, 200)
DRAG = (-40, 30)
DRAGGED = (STORED[0] + DRAG[0], STORED[1] + DRAG[1])
# How long the store stays busy after the close was asked for: well within the write's grace.
BUSY_AFTER_CLOSE = 0.3


# How long the window manager stays stalled once the close signal is up: longer than the
# signal's poll, so that the close comes while the window still waits for its first paint.
STALL = 0.5


@contextlib.contextmanager
def window_manager_stalled(session):
    """Stops the session's window manager while the with statement lasts."""
    manager = next(program for program in session.programs if program.name == "openbox")
    os.kill(manager.pid, signal.SIGSTOP)
    try:
        yield
    finally:
        os.kill(manager.pid, signal.SIGCONT)


def wait_for_unmapped_window(session, calculator):
    """Waits until the calculator has made its window, which a stalled window manager keeps
    from mapping."""
    def made():
        calculator.check_running("before making its window")
        return session.tool("xdotool", "search", "--pid", calculator.program.pid, check=False)
    wait_until(made, 10.0, "the calculator to make its window")


def position(place):
    return {"CalcLeft": str(place[0]), "CalcTop": str(place[1])}


class PendingWrite:
    """A calculator whose dragged position waits for busy stores, and what is left of it."""

    def busy_stores(self, stores):
        """Keeps the stores busy while the with statement lasts."""
        return stores.locks_held()

    def temporaries(self, stores):
        """Temporary files of ours beside the stores."""
        return sorted(entry.name for entry in stores.directory.iterdir()
                      if ".tmp-" in entry.name)

    def stores_with_a_position(self):
        """The user's stores, the registry holding the position STORED."""
        stores = user_stores(self.user)
        stores.write_registry(registry_file(*(f'"{name}"="{value}"'
                                              for name, value in position(STORED).items())))
        return stores

    def start_with_a_pending_write(self):
        calculator = self.start_calculator()
        calculator.drag(BODY_POINT, [DRAG])
        calculator.wait_for_place(DRAGGED, "after the drag")
        return calculator


class SessionEndUnderWindowManager(PendingWrite, CalculatorTestCase):
    # The ways to ask for the end on Linux; the menu's "Schließen" closes as Alt+F4 does.
    close_ways = ("host signal", "Alt+F4", "SIGTERM", "SIGHUP", "SIGINT")

    def ask_to_close(self, calculator, way):
        """Asks the calculator to end; returns what to stop once its window has gone."""
        if way == "host signal":
            holder = self.session.start(program_command("HOSTSIGNAL", "close"), user=self.user,
                                        name="hostsignal")
            self.addCleanup(holder.stop)
            return holder
        if way == "Alt+F4":
            # The window manager closes the window with the focus: after the drag, ours only once
            # the focus is back.
            calculator.wait_for_keyboard_focus()
            calculator.press("alt+F4")
        elif way == "taskbar":
            self.session.start(program_command("TASKBAR_CLIENT", "close"), user=self.user,
                               name="taskbar-client")
        else:
            os.kill(calculator.program.pid, getattr(signal, way))
        return None

    def test_a_close_takes_the_window_at_once_and_a_start_right_after_shows_its_own(self):
        for way in self.close_ways:
            with self.subTest(way=way):
                self.user = self.new_user()
                stores = self.stores_with_a_position()
                with self.busy_stores(stores):
                    calculator = self.start_with_a_pending_write()
                    holder = self.ask_to_close(calculator, way)
                    wait_until(lambda: not calculator_windows(self.session,
                                                              calculator.program.pid),
                               3.0, f"the window to go after {way}")
                    self.assertTrue(calculator.program.running(),
                                    f"after {way} the window stayed until the program ended")
                    if holder is not None:
                        holder.stop()
                    time.sleep(0.05)
                    second = self.start_calculator(wait=False)
                    time.sleep(BUSY_AFTER_CLOSE)
                # The second reads what was stored before (or what the first one could already
                # write, where one store stayed free); the first one's write lands after.
                second.wait_for_window()
                self.assertIn(second.geometry()[:2], [STORED, DRAGGED])
                self.assertEqual(calculator.program.wait_exit(3.0), 0,
                                 f"standard error: {calculator.program.stderr()!r}")
                self.assertEqual(stores.registry_values(), position(DRAGGED))
                for line in (b"CalcLeft=%d\r\n" % DRAGGED[0], b"CalcTop=%d\r\n" % DRAGGED[1]):
                    self.assertIn(line, stores.profile_bytes() or b"")
                self.assertEqual(self.temporaries(stores), [])
                second.program.stop()


    def test_the_close_signal_ends_a_start_that_waits_for_its_first_paint(self):
        with window_manager_stalled(self.session):
            calculator = self.start_calculator(wait=False)
            wait_for_unmapped_window(self.session, calculator)
            holder = self.ask_to_close(calculator, "host signal")
            self.assertEqual(holder.read_line(3.0), "holding TembraLidornCalcClose")
            time.sleep(STALL)
        self.assertEqual(calculator.program.wait_exit(3.0), 0,
                         f"standard error: {calculator.program.stderr()!r}")


class LostXServer(PendingWrite, CalculatorTestCase):
    """The X server goes away for good while a write is pending; each test has an X server of
    its own, which it kills."""

    @classmethod
    def setUpClass(cls):
        pass

    def setUp(self):
        self.session = XSession(self.window_manager)
        self.addCleanup(self.session.close)
        super().setUp()

    def test_the_pending_write_lands_and_the_program_ends_with_0(self):
        stores = self.stores_with_a_position()
        with self.busy_stores(stores):
            calculator = self.start_with_a_pending_write()
            self.session.server.process.kill()
            time.sleep(BUSY_AFTER_CLOSE)
        self.assertEqual(calculator.program.wait_exit(3.0), 0,
                         f"standard error: {calculator.program.stderr()!r}")
        self.assertEqual(stores.registry_values(), position(DRAGGED))
        self.assertEqual(stores.profile_bytes(),
                         "[Einstellungen]\r\nCalcLeft={CalcLeft}\r\nCalcTop={CalcTop}\r\n"
                         .format(**position(DRAGGED)).encode())
        self.assertEqual(self.temporaries(stores), [])

    def test_a_loss_before_the_first_paint_ends_the_program_with_0(self):
        with window_manager_stalled(self.session):
            calculator = self.start_calculator(wait=False)
            wait_for_unmapped_window(self.session, calculator)
            self.session.server.process.kill()
        self.assertEqual(calculator.program.wait_exit(3.0), 0,
                         f"standard error: {calculator.program.stderr()!r}")


if __name__ == "__main__":
    unittest.main()
