"""The Windows program's scale under Wine: the factor is the resolution over 96 exactly, at start
(the prefix's LogPixels) whatever fonts Wine sees, its pixels are the skin drawn for that exact
factor, and it follows what Windows tells a per-monitor-aware window (a new resolution for its
monitor, a change of monitors), which Wine itself never sends; dpi-client sends it.

Run through CTest, or by hand, with a Wine prefix:
    WINEPREFIX=... RECHNER_EMULATOR=wine RECHNER=build-windows/rechner.exe \\
        HOSTSIGNAL=build-windows/hostsignal.exe DPI_CLIENT=build-windows/tests/e2e/dpi-client.exe \\
        RECHNER_SKIN=build-windows/rechner-skin.exe \\
        python3 tests/e2e/rechner_wine_scale_test.py [-v]
"""

import os
import unittest

from calculator import BODY_POINT, HEIGHT, WIDTH, CalculatorTestCase
from rechner_scale_test import drawn_skin, inside, scaled_rect
from rechner_wine_test import WineServer
from stores import user_stores
from xsession import SCREEN_WIDTH, program_command, wait_until

# LogPixels and the window's size there: the design's times the resolution over 96.
START_SIZES = {96: (126, 224), 120: (158, 280), 144: (189, 336), 192: (252, 448)}


class WineScale(WineServer, CalculatorTestCase):
    def dpi_client(self, *args):
        client = self.session.start(program_command("DPI_CLIENT", *args), user=self.user,
                                    name="dpi-client")
        self.assertEqual(client.wait_exit(10.0), 0, f"dpi-client {args}")
        return client.stdout()

    def check_skin(self, calculator, dpi):
        """The window's pixels are the skin drawn for dpi / 96, but for the labels' text."""
        width, height, skin = drawn_skin(dpi)
        self.assertEqual(calculator.geometry()[2:], (width, height))
        display = scaled_rect((14, 43, 92, 33), width)
        seen = calculator.window_pixels()
        body = [p for p, colour in skin.items() if colour != (255, 255, 255)]
        self.assertEqual(set(body) - calculator.shape_pixels(), set(), "holes in the body")
        differing = [p for p in body if not inside(p, display) and seen[p] != skin[p]]
        self.assertEqual(differing[:10], [], f"{len(differing)} pixels differ")

    def test_logpixels_gives_the_exact_factor_at_start_whatever_fonts_wine_sees(self):
        key = r"HKCU\Control Panel\Desktop"
        self.addCleanup(self.wine, "reg", "delete", key, "/v", "LogPixels", "/f")
        windows_like = os.environ["FONTCONFIG_FILE"]
        self.addCleanup(os.environ.__setitem__, "FONTCONFIG_FILE", windows_like)
        # With the desktop's fonts, Noto Sans among them, Wine's sans face has a taller cell.
        for fonts in ("windows-like", "desktop"):
            if fonts == "desktop":
                os.environ.pop("FONTCONFIG_FILE")
                self.restart_wineserver()
            for dpi, size in START_SIZES.items():
                with self.subTest(fonts=fonts, dpi=dpi):
                    self.wine("reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                              str(dpi), "/f")
                    calculator = self.start_calculator()
                    try:
                        self.assertEqual(calculator.geometry()[2:], size)
                        if dpi in (96, 144):
                            self.check_skin(calculator, dpi)
                    finally:
                        calculator.program.stop()

    def test_an_uneven_resolution_shows_the_skin_drawn_for_it(self):
        calculator = self.start_calculator()
        _, top, _, _ = calculator.geometry()
        for dpi in (109, 163):
            with self.subTest(dpi=dpi):
                _, width, height = map(int, self.dpi_client("size", dpi).split())
                self.assertEqual((width, height),
                                 ((WIDTH * dpi + 48) // 96, (HEIGHT * dpi + 48) // 96))
                self.dpi_client("change", dpi, SCREEN_WIDTH - width, top, width, height)
                wait_until(lambda: calculator.geometry()[2:] == (width, height), 3.0,
                           f"the window at {width} x {height}")
                self.check_skin(calculator, dpi)

    def test_a_new_resolution_for_its_monitor_rescales_it_where_windows_puts_it(self):
        calculator = self.start_calculator()
        stored = user_stores(self.user).registry_values()
        left, top, _, _ = calculator.geometry()
        for dpi in (192, 144, 96):
            with self.subTest(dpi=dpi):
                answered, width, height = map(int, self.dpi_client("size", dpi).split())
                self.assertEqual(answered, 1, "WM_GETDPISCALEDSIZE handled")
                self.assertEqual((width, height), START_SIZES[dpi])
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
