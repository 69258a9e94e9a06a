"""The Windows program's scale under Wine: at the design's resolution its pixels are the skin
drawn for it, and it follows what Windows tells a per-monitor-aware window (a new resolution for
its monitor, a change of monitors), which Wine itself never sends; dpi-client sends it.

Run through CTest, or by hand, with a Wine prefix:
    WINEPREFIX=... RECHNER_EMULATOR=wine RECHNER=build-windows/rechner.exe \\
        HOSTSIGNAL=build-windows/hostsignal.exe DPI_CLIENT=build-windows/tests/e2e/dpi-client.exe \\
        python3 tests/e2e/rechner_wine_scale_test.py [-v]
"""

import unittest

from calculator import BODY_POINT, HEIGHT, WIDTH, CalculatorTestCase
from rechner_scale_test import drawn_skin, inside, scaled_rect
from rechner_wine_test import WineServer
from stores import user_stores
from xsession import SCREEN_WIDTH, program_command, wait_until

DRAWN_PERCENTS = (100, 125, 150, 175, 200)


class WineScale(WineServer, CalculatorTestCase):
    def dpi_client(self, *args):
        client = self.session.start(program_command("DPI_CLIENT", *args), user=self.user,
                                    name="dpi-client")
        self.assertEqual(client.wait_exit(10.0), 0, f"dpi-client {args}")
        return client.stdout()

    def test_at_a_drawn_scale_the_window_shows_the_drawn_skin(self):
        # Windows keeps the measured rule, so which resolutions give a drawn scale depends on
        # the "MS Sans Serif" Wine offers: ask the window what it would measure, and take each
        # resolution that gives one.
        calculator = self.start_calculator()
        _, top, _, _ = calculator.geometry()
        drawn = {(WIDTH * percent + 50) // 100: percent for percent in DRAWN_PERCENTS}
        reached = set()
        for dpi in range(72, 241, 12):
            _, width, height = map(int, self.dpi_client("size", dpi).split())
            if width not in drawn or drawn[width] in reached:
                continue
            percent = drawn[width]
            reached.add(percent)
            with self.subTest(dpi=dpi, percent=percent):
                self.dpi_client("change", dpi, SCREEN_WIDTH - width, top, width, height)
                wait_until(lambda: calculator.geometry()[2:] == (width, height), 3.0,
                           f"the window at {width} x {height}")
                skin_width, skin_height, skin = drawn_skin(percent)
                self.assertEqual((skin_width, skin_height), (width, height))
                display = scaled_rect((14, 43, 92, 33), width)
                seen = calculator.window_pixels()
                body = [p for p, colour in skin.items() if colour != (255, 255, 255)]
                self.assertEqual(set(body) - calculator.shape_pixels(), set(),
                                 "holes in the body")
                differing = [p for p in body if not inside(p, display) and seen[p] != skin[p]]
                self.assertEqual(differing[:10], [], f"{len(differing)} pixels differ")
        self.assertIn(200, reached, f"drawn scales reached: {sorted(reached)}")

    def test_a_new_resolution_for_its_monitor_rescales_it_where_windows_puts_it(self):
        calculator = self.start_calculator()
        stored = user_stores(self.user).registry_values()
        left, top, _, _ = calculator.geometry()
        for dpi in (192, 144, 96):
            with self.subTest(dpi=dpi):
                answered, width, height = map(int, self.dpi_client("size", dpi).split())
                self.assertEqual(answered, 1, "WM_GETDPISCALEDSIZE handled")
                # The measured font's scale: the design's size at 96, about the resolution's
                # share of 96 elsewhere, both sides by the same factor.
                self.assertAlmostEqual(width / WIDTH, dpi / 96, delta=0.2, msg=(width, height))
                self.assertAlmostEqual(height / HEIGHT, width / WIDTH, delta=0.01)
                # Windows suggests a place keeping the window on its monitor: flush right here.
                place = (SCREEN_WIDTH - width, top)
                self.dpi_client("change", dpi, *place, width, height)
                wait_until(lambda: calculator.geometry() == (*place, width, height), 3.0,
                           f"the window at {place}, {width} x {height} "
                           f"(it is {calculator.geometry()})")
                shown = calculator.shape_pixels()
                self.assertNotIn((0, 0), shown, "the corner is a hole at the new size")
                self.assertIn((width // 2, height // 2), shown)
                calculator.click_keys("A12+34=")
                self.assertEqual(calculator.copied_display(), "46")
        self.assertEqual(calculator.geometry()[:2], (left, top))
        self.assertEqual(user_stores(self.user).registry_values(), stored,
                         "the stored position was written")

    def test_a_window_left_partly_off_the_monitors_comes_back_on_a_display_change(self):
        calculator = self.start_calculator()
        # From the first press on, the window is the user's to place (before it, a move is a
        # window manager's, which the form undoes).
        calculator.click_point(BODY_POINT)
        self.dpi_client("move", SCREEN_WIDTH - 20, 300)
        wait_until(lambda: calculator.geometry()[:2] == (SCREEN_WIDTH - 20, 300), 3.0,
                   "the window partly off the screen")
        width = calculator.geometry()[2]
        self.dpi_client("display")
        calculator.wait_for_place((SCREEN_WIDTH - width, 300), "after the display changed")


if __name__ == "__main__":
    unittest.main()
