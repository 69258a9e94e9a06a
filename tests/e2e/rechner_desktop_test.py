"""End-to-end tests of the calculator on desktops unlike the test screen: the size follows the
desktop's Xft.dpi setting and never the screen's reported physical size, and a position left on
a second monitor is kept.

Run through CTest, or by hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal \\
        python3 tests/e2e/rechner_desktop_test.py [-v] [TestClass[.test_method]]
"""

import unittest

from calculator import HEIGHT, WIDTH, CalculatorTestCase

# Xft.dpi 144 over the design's 96: one and a half times the design.
SIZE_AT_144 = (189, 336)


class SizeCase(CalculatorTestCase):
    """Starts the calculator and checks its size, then that clicks on its painted keys
    compute."""

    def check_size_and_clicks(self, expected_size):
        calculator = self.start_calculator()
        self.assertEqual(calculator.geometry()[2:], expected_size)
        for keys, shown in [("12+34=", "46"), ("9:4=", "2.25"), ("7x6-2=", "40")]:
            calculator.click_keys("A" + keys)
            self.assertEqual(calculator.copied_display(), shown, f"clicked AC {keys}")
        return calculator


class ScreenReportingTwentyFiveDotsPerInch(SizeCase):
    # A monitor may report any physical size; without Xft.dpi the design's 96 holds.
    session_options = {"dpi": 25}

    def test_keeps_the_design_size(self):
        self.check_size_and_clicks((WIDTH, HEIGHT))


class DesktopScaledTo192DotsPerInch(SizeCase):
    session_options = {"dpi": 96, "resources": ["Xft.dpi:\t192"]}

    def test_scales_and_the_painted_keys_compute(self):
        calculator = self.check_size_and_clicks((252, 448))
        # The skin grew with the window, and its holes with it: the corners are left out of the
        # shape at the new size too, and nothing inside the body is.
        _, _, width, height = calculator.geometry()
        shown = calculator.shape_pixels()
        for corner in [(0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)]:
            self.assertNotIn(corner, shown, "a corner of the scaled window")
        body = {(x, y) for x in range(20, width - 20) for y in range(20, height - 20)}
        self.assertEqual(body - shown, set(), "holes inside the scaled body")


class DesktopScaledTo144DotsPerInch(SizeCase):
    session_options = {"dpi": 96, "resources": ["Xft.dpi:\t144"]}

    def test_is_one_and_a_half_times_the_design(self):
        self.check_size_and_clicks(SIZE_AT_144)


class TwoMonitorsSideBySide(CalculatorTestCase):
    # The primary monitor on the left, a second one of the same size to its right.
    session_options = {"screen": (3840, 1080),
                       "monitors": [("Links", 0, 0, 1920, 1080),
                                    ("Rechts", 1920, 0, 1920, 1080)]}

    def test_a_position_on_the_right_monitor_is_kept(self):
        cases = [
            ("2500", "300", (2500, 300)),
            # Beyond the desktop's right or bottom edge: pulled back onto the right monitor.
            ("5000", "300", (3840 - WIDTH, 300)),
            ("2500", "5000", (2500, 1080 - HEIGHT)),
            # On no monitor at all, and with nothing stored: the primary screen's default place.
            ("3840", "300", (1920 - WIDTH, 100)),
            ("", "", (1920 - WIDTH, 100)),
        ]
        for left, top, expected in cases:
            with self.subTest(CalcLeft=left, CalcTop=top):
                self.check_start_place(left, top, expected)


if __name__ == "__main__":
    unittest.main()
