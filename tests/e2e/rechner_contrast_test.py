"""End-to-end tests of the calculator on a desktop in high contrast: a real settings daemon
(xsettingsd) serves the theme name through XSETTINGS, at start and changed while the calculator
runs. In high contrast the window is opaque and unshaped, shows only the theme's two colours apart
from the anti-aliased edges of its texts, every key label reads at a contrast of 7:1 or more, and
every key still computes; back in a normal theme the skin, its holes and the opacity rule return.

Run through CTest, or by hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal \\
        python3 tests/e2e/rechner_contrast_test.py [-v] [TestClass[.test_method]]
"""

import os
import signal
import time
import unittest

import x11
from calculator import KEYS, NEUTRAL_POINT, WIDTH, CalculatorTestCase, opacity_value
from xsession import START_TIMEOUT, wait_until

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
# The three display labels together, in design pixels: x 14 to 106, y 43 to 76.
DISPLAY_LABELS = (14, 43, 92, 33)
# Each click sequence starts with AC; together they press each of the 18 keys.
ALL_KEYS_CASES = [("1234+5678=", "6912"), ("9-0,5=", "8.5"), ("6x7=", "42"), ("9:4=", "2.25"),
                  ("12+5C3=", "15")]


def relative_luminance(colour):
    def linear(channel):
        value = channel / 255
        return value / 12.92 if value <= 0.03928 else ((value + 0.055) / 1.055) ** 2.4
    red, green, blue = (linear(channel) for channel in colour)
    return 0.2126 * red + 0.7152 * green + 0.0722 * blue


def contrast_ratio(first, second):
    lighter, darker = sorted((relative_luminance(first), relative_luminance(second)),
                             reverse=True)
    return (lighter + 0.05) / (darker + 0.05)


def key_face(calculator, key):
    """The colour most of the key's inside shows, its frame left out."""
    face = Face(calculator)
    colours = [face.pixel(x, y) for x, y in face.scaled(KEYS[key], inset=round(2 * face.scale))]
    return max(set(colours), key=colours.count)


def check_every_key_computes(test, calculator):
    for keys, shown in ALL_KEYS_CASES:
        calculator.click_keys("A" + keys)
        test.assertEqual(calculator.copied_display(), shown, f"clicked AC {keys}")


class SettingsDaemon:
    """xsettingsd serving Net/ThemeName from a file of the session's, until stopped."""

    def __init__(self, session, theme):
        self.session = session
        self.config = session.base_dirs.root / "xsettingsd.conf"
        self.program = None
        self.start(theme)

    def start(self, theme):
        self.write(theme)
        self.program = self.session.start(["xsettingsd", "-c", self.config], name="xsettingsd")
        with x11.Display(self.session.display) as display:
            wait_until(lambda: display.selection_owner("_XSETTINGS_S0"), START_TIMEOUT,
                       "xsettingsd to own the settings selection")

    def switch(self, theme):
        """Serves another theme; xsettingsd reads its file again on a hang-up."""
        self.write(theme)
        os.kill(self.program.pid, signal.SIGHUP)

    def stop(self):
        self.program.stop()

    def write(self, theme):
        self.config.write_text(f'Net/ThemeName "{theme}"\n')


class Face:
    """A screenshot of the window, read in design pixels scaled to the window's size."""

    def __init__(self, calculator):
        left, top, self.width, self.height = calculator.geometry()
        self.scale = self.width / WIDTH
        self.picture = calculator.session.screenshot(left, top, self.width, self.height)

    def pixel(self, x, y):
        start = (y * self.width + x) * 3
        return tuple(self.picture.pixels[start:start + 3])

    def scaled(self, rectangle, inset=0):
        """The window pixels of a design rectangle, less inset window pixels on each side."""
        left, top, width, height = rectangle
        x0, y0 = round(left * self.scale), round(top * self.scale)
        x1, y1 = round((left + width) * self.scale), round((top + height) * self.scale)
        return [(x, y) for y in range(y0 + inset, y1 - inset) for x in range(x0 + inset, x1 - inset)]

    def other_colours(self, colours):
        """The pixels whose colour is none of colours, as (x, y)."""
        return [(x, y) for y in range(self.height) for x in range(self.width)
                if self.pixel(x, y) not in colours]


class HighContrastCase(CalculatorTestCase):
    theme_at_start = "HighContrast"

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.daemon = SettingsDaemon(cls.session, cls.theme_at_start)

    def setUp(self):
        super().setUp()
        self.daemon.switch(self.theme_at_start)

    def wait_for_face(self, calculator, ground, text):
        """Waits until the window shows the high-contrast face in ground and text and checks it:
        opaque, unshaped, two colours apart from text, every key label readable. Returns the
        face."""
        # A hint shown over the window would be part of the screenshot.
        self.session.move_pointer(*NEUTRAL_POINT)
        left, top, width, height = calculator.geometry()

        def over_the_window():
            return [(x, y, w, h) for _, x, y, w, h in display.override_redirect_windows()
                    if x < left + width and left < x + w and y < top + height and top < y + h]
        with x11.Display(self.session.display) as display:
            wait_until(lambda: not over_the_window(), 4.0, "the hints over the window to hide")

        def face_shown():
            face = Face(calculator)
            return face if face.pixel(1, 1) == ground and face.pixel(
                *[round(c * face.scale) for c in (20, 70)]) == ground else None
        face = wait_until(face_shown, 3.0, f"the face in {ground} and {text}")
        _, _, width, height = calculator.geometry()
        self.assertEqual(calculator.shape_pixels(),
                         {(x, y) for x in range(width) for y in range(height)},
                         "the window has holes in high contrast")

        # Anti-aliasing blends text into its ground, inside the keys and the display only; the
        # ground, the frames and everything between the keys are the two colours exactly. The
        # keys stand on an even grid of their own, with legends that fill them, so a legend may
        # reach to the edge of the key's rectangle in the design.
        text_areas = set(face.scaled(DISPLAY_LABELS))
        for rectangle in KEYS.values():
            text_areas.update(face.scaled(rectangle))
        stray = [point for point in face.other_colours((ground, text))
                 if point not in text_areas]
        self.assertEqual(stray[:10], [], f"{len(stray)} pixels outside the texts are neither "
                         f"{ground} nor {text}")

        labels = {}
        for key, rectangle in KEYS.items():
            inside = face.scaled(rectangle, inset=round(2 * face.scale))
            colours = [face.pixel(x, y) for x, y in inside]
            key_face = max(set(colours), key=colours.count)
            self.assertEqual(key_face, ground, f"the face of key {key}")
            label = max(colours, key=lambda c: abs(relative_luminance(c)
                                                   - relative_luminance(key_face)))
            ratio = contrast_ratio(label, key_face)
            self.assertGreaterEqual(ratio, 7.0, f"label of key {key}: {label} on {key_face}")
            # The label's own pixels, nearer the text colour than the ground; as a pattern they
            # tell one label from another. The comma of an 8 point face can be three pixels.
            marks = frozenset((x - inside[0][0], y - inside[0][1]) for x, y in inside
                              if contrast_ratio(face.pixel(x, y), key_face) >= 3.0)
            self.assertGreaterEqual(len(marks), 3, f"key {key} shows no label")
            labels[key] = marks
        same = [(a, b) for a in labels for b in labels if a < b and labels[a] == labels[b]]
        self.assertEqual(same, [], "keys whose labels look alike")
        return face


class HighContrastAtStart(HighContrastCase):

    def check_held_key_inverted(self, calculator, key, ground, text):
        """Holds the left button on key: it shows inverted while held, and as before once
        released."""
        left, top, width, height = KEYS[key]
        scale = calculator.geometry()[2] / WIDTH
        calculator.move_pointer((int((left + width / 2) * scale), int((top + height / 2) * scale)))
        self.session.tool("xdotool", "mousedown", 1)
        try:
            wait_until(lambda: key_face(calculator, key) == text, 3.0, f"key {key} held")
        finally:
            self.session.tool("xdotool", "mouseup", 1)
        wait_until(lambda: key_face(calculator, key) == ground, 3.0, f"key {key} released")

    def test_face_is_opaque_two_coloured_readable_and_every_key_computes(self):
        calculator = self.start_calculator()
        self.wait_for_face(calculator, WHITE, BLACK)
        calculator.wait_for_opacity(255)
        self.check_held_key_inverted(calculator, "5", WHITE, BLACK)
        other = self.session.start(["xlogo"], user=self.user)
        self.addCleanup(other.stop)
        # Another application is active; the window stays opaque. The program decides about
        # activation some 50 ms after the focus moves: watch ten times that.
        wait_until(lambda: self.session.tool("xdotool", "getactivewindow", check=False).strip()
                   not in ("", str(calculator.window)), START_TIMEOUT, "xlogo to be active")
        deadline = time.monotonic() + 0.5
        while time.monotonic() < deadline:
            self.assertEqual(calculator.opacity(), opacity_value(255),
                             "translucent in high contrast while another program is active")
            time.sleep(0.05)
        check_every_key_computes(self, calculator)
        calculator.type("7+1\r")
        self.assertEqual(calculator.copied_display(), "8", "typed 7+1 Enter")


class HighContrastSwitchedWhileRunning(HighContrastCase):
    theme_at_start = "Adwaita"

    def test_switching_on_and_back_while_running(self):
        calculator = self.start_calculator()
        skin_shape = calculator.shape_pixels()
        _, _, width, height = calculator.geometry()
        self.assertNotIn((0, 0), skin_shape, "the skin's colour key leaves the corner out")
        other = self.session.start(["xlogo"], user=self.user)
        self.addCleanup(other.stop)
        calculator.wait_for_opacity(155)

        self.daemon.switch("HighContrast")
        self.wait_for_face(calculator, WHITE, BLACK)
        calculator.wait_for_opacity(255)
        check_every_key_computes(self, calculator)

        self.daemon.switch("HighContrastInverse")
        self.wait_for_face(calculator, BLACK, WHITE)

        self.daemon.switch("Adwaita")
        wait_until(lambda: calculator.shape_pixels() == skin_shape, 3.0,
                   "the skin's holes to come back")
        other_again = self.session.start(["xlogo"], user=self.user)
        self.addCleanup(other_again.stop)
        calculator.wait_for_opacity(155)
        self.assertNotEqual(Face(calculator).pixel(width // 2, height // 2), WHITE)

    def test_the_settings_manager_going_and_a_new_one_coming(self):
        calculator = self.start_calculator()
        skin_shape = calculator.shape_pixels()
        self.daemon.switch("HighContrast")
        self.wait_for_face(calculator, WHITE, BLACK)
        # Without a settings manager the desktop asks for nothing: the skin returns.
        self.daemon.stop()
        try:
            wait_until(lambda: calculator.shape_pixels() == skin_shape, 3.0,
                       "the skin once the settings manager is gone")
        finally:
            # A new manager announces itself to the root window, and is followed.
            self.daemon.start("HighContrastInverse")
        self.wait_for_face(calculator, BLACK, WHITE)
        check_every_key_computes(self, calculator)


if __name__ == "__main__":
    unittest.main()
