"""End-to-end tests of where the real calculator puts its window and what it stores: placement
at start from the host's two settings stores, dragging, and the stores' contents afterwards.

Run through CTest, or by hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal \\
        python3 tests/e2e/rechner_settings_test.py [-v]
"""

import unittest

from calculator import BODY_POINT, HEIGHT, WIDTH, CalculatorTestCase, config_dir
from xsession import SCREEN_HEIGHT, SCREEN_WIDTH, wait_until

REGISTRY_HEADER = "Windows Registry Editor Version 5.00"
REGISTRY_KEY = r"[HKEY_CURRENT_USER\Software\Tembra-Lidorn]"
FALLBACK = (SCREEN_WIDTH - WIDTH, 100)
# A point on the entry label, which drags the window like the body.
ENTRY_LABEL_POINT = (40, 67)
ONE_KEY_POINT = (21, 181)


def registry_values(user):
    """The values of the calculator's key in registry.reg, by name: the text of a string value,
    the text after "=" as it stands for any other type."""
    path = config_dir(user) / "registry.reg"
    if not path.exists():
        return {}
    values = {}
    in_key = False
    for line in path.read_text().splitlines():
        if line.startswith("["):
            in_key = line.lower() == REGISTRY_KEY.lower()
        elif in_key and line.startswith('"') and '"=' in line:
            name, _, value = line[1:].partition('"=')
            if value.startswith('"') and value.endswith('"'):
                value = value[1:-1].replace('\\"', '"').replace("\\\\", "\\")
            values[name] = value
    return values


def profile_bytes(user):
    path = config_dir(user) / "Quenvik.ini"
    return path.read_bytes() if path.exists() else None


def write_store(user, name, content):
    directory = config_dir(user)
    directory.mkdir(exist_ok=True)
    (directory / name).write_bytes(content)


def registry_file(*value_lines):
    lines = [REGISTRY_HEADER, "", REGISTRY_KEY, *value_lines, ""]
    return "\r\n".join(lines).encode()


class SettingsUnderWindowManager(CalculatorTestCase):

    def test_first_run_places_at_the_right_edge_and_stores_the_empty_left(self):
        calculator = self.start_calculator()
        self.assertEqual(calculator.geometry(), (*FALLBACK, WIDTH, HEIGHT))
        # Only CalcLeft is read, found nowhere, and written back empty to both stores; an
        # invalid left means CalcTop is never read.
        self.assertEqual(registry_values(self.user), {"CalcLeft": ""})
        self.assertEqual(profile_bytes(self.user), b"[Einstellungen]\r\nCalcLeft=\r\n")

    def test_click_without_moving_stores_both_values(self):
        calculator = self.start_calculator()
        calculator.click_point(BODY_POINT)
        expected = {"CalcLeft": str(FALLBACK[0]), "CalcTop": str(FALLBACK[1])}
        profile = b"[Einstellungen]\r\nCalcLeft=1154\r\nCalcTop=100\r\n"
        wait_until(lambda: (registry_values(self.user) == expected
                            and profile_bytes(self.user) == profile), 3.0,
                   f"both stores to hold {expected} (they hold {registry_values(self.user)} "
                   f"and {profile_bytes(self.user)})")

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
            wait_until(lambda: (registry_values(self.user) == stored
                                and profile_bytes(self.user) == profile.format(**stored).encode()),
                       3.0, f"both stores to hold {stored} after a drag by the {what} (they "
                       f"hold {registry_values(self.user)} and {profile_bytes(self.user)})")

    def test_right_drag_released_over_a_key_ends_the_drag_there(self):
        calculator = self.start_calculator()
        left, top, _, _ = calculator.geometry()
        # The pointer jumps onto the 1 key before the release: the window stays where the drag
        # left it, and follows the pointer no further.
        calculator.drag(BODY_POINT, [(-60, 40)], button=3, release_at=ONE_KEY_POINT)
        dragged = (left - 60, top + 40)
        stored = {"CalcLeft": str(dragged[0]), "CalcTop": str(dragged[1])}
        wait_until(lambda: registry_values(self.user) == stored, 3.0,
                   f"the registry to hold {stored} (it holds {registry_values(self.user)})")
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
                user = self.new_user()
                write_store(user, "registry.reg",
                            registry_file(f'"CalcLeft"="{left}"', f'"CalcTop"="{top}"'))
                calculator = self.start_calculator(user=user)
                calculator.wait_for_place(expected, f"from CalcLeft {left!r}, CalcTop {top!r}")
                calculator.program.stop()

    def test_invalid_left_gives_the_fallback_and_top_is_not_read(self):
        write_store(self.user, "registry.reg", registry_file('"CalcLeft"="12abc"'))
        write_store(self.user, "Quenvik.ini", b"[Einstellungen]\r\nCalcTop=300\r\n")
        calculator = self.start_calculator()
        self.assertEqual(calculator.geometry()[:2], FALLBACK)
        # Reading CalcTop would have copied it into the registry.
        self.assertEqual(registry_values(self.user), {"CalcLeft": "12abc"})

    def test_value_only_in_the_legacy_file_moves_into_the_registry(self):
        legacy = b"[Einstellungen]\r\nCalcLeft=300\r\nCalcTop=200\r\n"
        write_store(self.user, "Quenvik.ini", legacy)
        calculator = self.start_calculator()
        self.assertEqual(calculator.geometry()[:2], (300, 200))
        self.assertEqual(registry_values(self.user), {"CalcLeft": "300", "CalcTop": "200"})
        self.assertEqual(profile_bytes(self.user), legacy)

    def test_drag_keeps_everything_else_the_host_wrote(self):
        legacy = (b"; Tembra Lidorn\r\n[Allgemein]\r\nSprache = de \r\n\r\n"
                  b"[Einstellungen]\r\n  Waehrung=\"EUR\"\r\nCalcLeft=300\r\nCalcTop=200\r\n"
                  b"; bis hier\r\n\r\n[Konten]\r\nGiro=1;2\r\nCalcLeft=9")
        registry = registry_file('"Sprache"="de"', '"Zaehler"=dword:00000007', "",
                                 r"[HKEY_CURRENT_USER\Software\Tembra-Lidorn\Konten]",
                                 '"CalcLeft"="9"')
        write_store(self.user, "Quenvik.ini", legacy)
        write_store(self.user, "registry.reg", registry)
        calculator = self.start_calculator()
        calculator.drag(BODY_POINT, [(50, 40)])
        calculator.wait_for_place((350, 240), "after the drag")
        expected = legacy.replace(b"CalcLeft=300", b"CalcLeft=350").replace(b"CalcTop=200",
                                                                           b"CalcTop=240")
        wait_until(lambda: profile_bytes(self.user) == expected, 3.0,
                   f"Quenvik.ini to read {expected!r} (it reads {profile_bytes(self.user)!r})")
        lines = (config_dir(self.user) / "registry.reg").read_bytes().split(b"\r\n")
        others = [line for line in lines if not line.startswith((b'"CalcLeft"', b'"CalcTop"'))]
        self.assertEqual(others, [line for line in registry.split(b"\r\n")
                                  if not line.startswith(b'"CalcLeft"')],
                         "registry.reg lost or changed lines besides the calculator's values")
        self.assertIn(b'"CalcLeft"="9"', lines, "the other key's CalcLeft changed")
        self.assertEqual(registry_values(self.user),
                         {"Sprache": "de", "Zaehler": "dword:00000007", "CalcLeft": "350",
                          "CalcTop": "240"})


if __name__ == "__main__":
    unittest.main()
