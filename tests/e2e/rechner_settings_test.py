"""End-to-end tests of where the real calculator puts its window and what it stores: placement
at start from the host's two settings stores, dragging, and the stores' contents afterwards.

Run through CTest, or by hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal \\
        python3 tests/e2e/rechner_settings_test.py [-v]
"""

import fcntl
import os
import threading
import time
import unittest

import x11
from calculator import BODY_POINT, HEIGHT, WIDTH, CalculatorTestCase
from stores import KEY_PATH, FileStores, registry_file, user_stores
from xsession import SCREEN_HEIGHT, SCREEN_WIDTH, wait_until

FALLBACK = (SCREEN_WIDTH - WIDTH, 100)
# A point on the entry label, which drags the window like the body.
ENTRY_LABEL_POINT = (40, 67)
ONE_KEY_POINT = (21, 181)
# How often the rewriting host writes registry.reg, and for how long.
REWRITE_INTERVAL = 0.005
REWRITE_TIME = 0.8


class RewritingHost:
    """A host that rewrites a file in place (truncate, then write) every few milliseconds, without
    the writers' lock, on a thread of its own while the with statement lasts."""

    def __init__(self, path, content):
        self.path = path
        self.content = content
        self.done = threading.Event()
        self.thread = threading.Thread(target=self._rewrite)

    def __enter__(self):
        self.thread.start()
        return self

    def __exit__(self, *exc):
        self.done.set()
        self.thread.join()

    def _rewrite(self):
        while not self.done.wait(REWRITE_INTERVAL):
            with self.path.open("r+b") as file:
                file.truncate(0)
                file.write(self.content[:len(self.content) // 2])
                file.flush()
                file.write(self.content[len(self.content) // 2:])


class SettingsUnderWindowManager(CalculatorTestCase):

    def test_first_run_places_at_the_right_edge_and_stores_the_empty_left(self):
        calculator = self.start_calculator()
        self.assertEqual(calculator.geometry(), (*FALLBACK, WIDTH, HEIGHT))
        # Only CalcLeft is read, found nowhere, and written back empty to both stores (by the
        # writer's thread, so soon rather than at once); an invalid left means CalcTop is never
        # read.
        stores = user_stores(self.user)
        wait_until(lambda: (stores.registry_values() == {"CalcLeft": ""}
                            and stores.profile_bytes() == b"[Einstellungen]\r\nCalcLeft=\r\n"),
                   3.0, f"both stores to hold the empty CalcLeft (they hold "
                   f"{stores.registry_values()} and {stores.profile_bytes()})")

    def test_click_without_moving_stores_both_values(self):
        calculator = self.start_calculator()
        calculator.click_point(BODY_POINT)
        expected = {"CalcLeft": str(FALLBACK[0]), "CalcTop": str(FALLBACK[1])}
        profile = b"[Einstellungen]\r\nCalcLeft=1154\r\nCalcTop=100\r\n"
        wait_until(lambda: (user_stores(self.user).registry_values() == expected
                            and user_stores(self.user).profile_bytes() == profile), 3.0,
                   f"both stores to hold {expected} (they hold {user_stores(self.user).registry_values()} "
                   f"and {user_stores(self.user).profile_bytes()})")

    def test_drag_by_body_or_display_moves_the_window_and_stores_it(self):
        calculator = self.start_calculator()
        cases = [("body", BODY_POINT, [(-100, 50)] * 3), ("entry label", ENTRY_LABEL_POINT,
                                                         [(40, -30), (40, -30)])]
        for what, start, moves in cases:
            left, top, _, _ = calculator.geometry()
            calculator.drag(start, moves)
            expected = (left + sum(dx for dx, _ in moves), top + sum(dy for _, dy in moves))
            calculator.wait_for_place(expected, f"after a drag by the {what}")
            stored = {"CalcLeft": str(expected[0]), "CalcTop": str(expected[1])}
            profile = "[Einstellungen]\r\nCalcLeft={CalcLeft}\r\nCalcTop={CalcTop}\r\n"
            wait_until(lambda: (user_stores(self.user).registry_values() == stored
                                and user_stores(self.user).profile_bytes() == profile.format(**stored).encode()),
                       3.0, f"both stores to hold {stored} after a drag by the {what} (they "
                       f"hold {user_stores(self.user).registry_values()} and {user_stores(self.user).profile_bytes()})")

    def test_a_drag_read_in_one_batch_moves_the_window_at_once(self):
        calculator = self.start_calculator()
        left, top, _, _ = calculator.geometry()
        start = (left + BODY_POINT[0], top + BODY_POINT[1])
        with x11.Display(self.session.display) as display:
            display.drag_at_once(start, (start[0] - 50, start[1] + 30))
        # Nothing else comes to the calculator meanwhile: a move left for its next event would
        # not come at all.
        calculator.wait_for_place((left - 50, top + 30), "after a drag sent in one batch")

    def test_right_drag_released_over_a_key_ends_the_drag_there(self):
        calculator = self.start_calculator()
        left, top, _, _ = calculator.geometry()
        # The pointer jumps onto the 1 key before the release: the window stays where the drag
        # left it, and follows the pointer no further.
        calculator.drag(BODY_POINT, [(-60, 40)], button=3, release_at=ONE_KEY_POINT)
        dragged = (left - 60, top + 40)
        stored = {"CalcLeft": str(dragged[0]), "CalcTop": str(dragged[1])}
        wait_until(lambda: user_stores(self.user).registry_values() == stored, 3.0,
                   f"the registry to hold {stored} (it holds {user_stores(self.user).registry_values()})")
        calculator.press("Escape")  # the right release opened the menu over the key
        calculator.move_pointer((BODY_POINT[0] - 30, BODY_POINT[1] + 30))
        calculator.click_keys("3")  # handled after the moves: the window did not follow them
        self.assertEqual(calculator.copied_display(), "3")
        self.assertEqual(calculator.geometry()[:2], dragged)

    def test_restart_puts_the_window_where_it_was_dragged(self):
        calculator = self.start_calculator()
        calculator.drag(BODY_POINT, [(-200, 100), (-200, 100)])
        dragged = (FALLBACK[0] - 400, FALLBACK[1] + 200)
        calculator.wait_for_place(dragged, "after the drag")
        self.assertEqual(calculator.close_and_wait(), 0)
        self.assertEqual(self.start_calculator().geometry(), (*dragged, WIDTH, HEIGHT))

    def test_stored_position_is_corrected_only_beyond_the_screen(self):
        right = SCREEN_WIDTH - WIDTH
        bottom = SCREEN_HEIGHT - HEIGHT
        cases = [
            ("300", "200", (300, 200)),
            ("5000", "300", (right, 300)),
            ("200", "5000", (200, bottom)),
            # Partly off the right or bottom edge, or the left or top edge: as stored.
            ("1200", "950", (1200, 950)),
            ("-50", "300", (-50, 300)),
            (" 17", "-5", (17, -5)),
            ("$64", "0x20", (100, 32)),
            # Wholly off every monitor: nobody could reach it there.
            ("-3000", "100", FALLBACK),
            (str(SCREEN_WIDTH), "100", FALLBACK),
        ]
        for left, top, expected in cases:
            with self.subTest(CalcLeft=left, CalcTop=top):
                self.check_start_place(left, top, expected)

    def test_invalid_left_gives_the_fallback_and_top_is_not_read(self):
        user_stores(self.user).write_registry(registry_file('"CalcLeft"="12abc"'))
        user_stores(self.user).write_profile(b"[Einstellungen]\r\nCalcTop=300\r\n")
        calculator = self.start_calculator()
        self.assertEqual(calculator.geometry()[:2], FALLBACK)
        # Reading CalcTop would have copied it into the registry.
        self.assertEqual(user_stores(self.user).registry_values(), {"CalcLeft": "12abc"})

    def test_value_only_in_the_legacy_file_moves_into_the_registry(self):
        legacy = b"[Einstellungen]\r\nCalcLeft=300\r\nCalcTop=200\r\n"
        user_stores(self.user).write_profile(legacy)
        calculator = self.start_calculator()
        self.assertEqual(calculator.geometry()[:2], (300, 200))
        stored = {"CalcLeft": "300", "CalcTop": "200"}
        wait_until(lambda: user_stores(self.user).registry_values() == stored, 3.0,
                   f"the registry to hold {stored} (it holds "
                   f"{user_stores(self.user).registry_values()})")
        self.assertEqual(user_stores(self.user).profile_bytes(), legacy)

    def test_drag_keeps_everything_else_the_host_wrote(self):
        legacy = (b"; Tembra Lidorn\r\n[Allgemein]\r\nSprache = de \r\n\r\n"
                  b"[Einstellungen]\r\n  Waehrung=\"EUR\"\r\nCalcLeft=300\r\nCalcTop=200\r\n"
                  b"; bis hier\r\n\r\n[Konten]\r\nGiro=1;2\r\nCalcLeft=9")
        subkey = KEY_PATH + "\\Konten"
        registry = registry_file('"Sprache"="de"', '"Zaehler"=dword:00000007',
                                 subkey_lines=[f"[{subkey}]", '"CalcLeft"="9"'])
        stores = user_stores(self.user)
        stores.write_profile(legacy)
        stores.write_registry(registry)
        calculator = self.start_calculator()
        calculator.drag(BODY_POINT, [(50, 40)])
        calculator.wait_for_place((350, 240), "after the drag")
        stored = {"Sprache": "de", "Zaehler": "dword:00000007", "CalcLeft": "350",
                  "CalcTop": "240"}
        wait_until(lambda: stores.registry_values() == stored, 3.0,
                   f"the registry to hold {stored} (it holds {stores.registry_values()})")
        self.assertEqual(stores.registry_values(subkey), {"CalcLeft": "9"},
                         "the other key's CalcLeft changed")
        expected = legacy.replace(b"CalcLeft=300", b"CalcLeft=350").replace(b"CalcTop=200",
                                                                           b"CalcTop=240")
        if isinstance(stores, FileStores):
            # The Linux stores keep every byte they do not change.
            wait_until(lambda: stores.profile_bytes() == expected, 3.0,
                       f"Quenvik.ini to read {expected!r} (it reads {stores.profile_bytes()!r})")
            lines = (stores.directory / "registry.reg").read_bytes().split(b"\r\n")
            others = [line for line in lines
                      if not line.startswith((b'"CalcLeft"', b'"CalcTop"'))]
            self.assertEqual(others, [line for line in registry.split(b"\r\n")
                                      if not line.startswith(b'"CalcLeft"')],
                             "registry.reg lost or changed lines besides the calculator's values")
        else:
            # The system's own profile function writes the file in its own layout: every
            # section, entry and comment stays, with the position changed.
            wait_until(lambda: b"CalcLeft=350" in (stores.profile_bytes() or b""), 3.0,
                       f"Quenvik.ini to hold CalcLeft=350 (it reads {stores.profile_bytes()!r})")
            written = stores.profile_bytes()
            for piece in (b"; Tembra Lidorn", b"[Allgemein]", b"Sprache", b"[Einstellungen]",
                          b"Waehrung", b"CalcTop=240", b"; bis hier", b"[Konten]",
                          b"Giro=1;2", b"CalcLeft=9"):
                self.assertIn(piece, written, f"Quenvik.ini lost {piece!r}: {written!r}")

    def file_stores(self):
        """The stores as files: the host's ways with them only exist on Linux."""
        stores = user_stores(self.user)
        if not isinstance(stores, FileStores):
            self.skipTest("the Windows stores are the system's registry and profile functions")
        return stores

    def test_a_host_holding_the_writers_lock_does_not_freeze_the_window(self):
        stores = self.file_stores()
        calculator = self.start_calculator()
        # The first run writes its empty CalcLeft, which makes the folder.
        wait_until(lambda: stores.registry_values() == {"CalcLeft": ""}, 3.0, "the first run's write")
        locks = []
        try:
            for name in ("registry.reg", "Quenvik.ini"):
                lock = os.open(stores.directory / f".{name}.lock", os.O_RDONLY | os.O_CREAT, 0o600)
                locks.append(lock)
                fcntl.flock(lock, fcntl.LOCK_EX)
            calculator.drag(BODY_POINT, [(-100, 50)])
            dragged = (FALLBACK[0] - 100, FALLBACK[1] + 50)
            calculator.wait_for_place(dragged, "after the drag")
            # Keys typed right after the release compute at once: nothing waits for the lock.
            released = time.monotonic()
            calculator.type("12+3=")
            self.assertEqual(calculator.copied_display(timeout=1.0), "15")
            self.assertLess(time.monotonic() - released, 2.5, "the window answered late")
            self.assertEqual(stores.registry_values(), {"CalcLeft": ""},
                             "written although the host holds the lock")
        finally:
            for lock in locks:
                os.close(lock)
        stored = {"CalcLeft": str(dragged[0]), "CalcTop": str(dragged[1])}
        wait_until(lambda: stores.registry_values() == stored, 3.0,
                   f"the registry to hold {stored} once the host let go (it holds "
                   f"{stores.registry_values()})")
        profile = "[Einstellungen]\r\nCalcLeft={CalcLeft}\r\nCalcTop={CalcTop}\r\n"
        wait_until(lambda: stores.profile_bytes() == profile.format(**stored).encode(), 3.0,
                   f"Quenvik.ini to hold {stored} (it reads {stores.profile_bytes()!r})")

    def test_a_start_while_the_host_rewrites_registry_reg_never_erases_the_stored_position(self):
        self.file_stores()
        registry = registry_file('"CalcLeft"="300"', '"CalcTop"="200"')
        for start in range(5):
            with self.subTest(start=start):
                user = self.new_user()
                stores = user_stores(user)
                stores.write_registry(registry)
                with RewritingHost(stores.directory / "registry.reg", registry):
                    time.sleep(REWRITE_INTERVAL * start)
                    calculator = self.start_calculator(user=user)
                    # Read during the rewrites: the stored place, or the fallback for this run.
                    self.assertIn(calculator.geometry()[:2], [(300, 200), FALLBACK])
                    time.sleep(max(0.0, REWRITE_TIME - REWRITE_INTERVAL * start))
                # Time for a write that should not come once the host pauses.
                time.sleep(0.5)
                self.assertEqual(calculator.close_and_wait(), 0)
                self.assertEqual(stores.registry_values(), {"CalcLeft": "300", "CalcTop": "200"})
                self.assertIsNone(stores.profile_bytes(), "Quenvik.ini written")


if __name__ == "__main__":
    unittest.main()
