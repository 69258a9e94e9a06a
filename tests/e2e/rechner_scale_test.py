"""End-to-end tests of the calculator's scale on X11: the window's size follows the desktop's
Xft.dpi whatever font fontconfig offers, its pixels are the skin drawn for its exact scale, the
uneven ones included, hint and menu grow with it, a change of Xft.dpi while it runs rescales it
in place, a settings manager's Xft/DPI comes before the resources', a mistyped resolution still
leaves a window that fits the screen, and a monitor that goes takes no window with it.

Run through CTest, or by hand:
    RECHNER=build/rechner HOSTSIGNAL=build/hostsignal RECHNER_SKIN=build/rechner-skin \\
        python3 tests/e2e/rechner_scale_test.py [-v] [TestClass[.test_method]]
"""

import os
import signal
import subprocess
import tempfile
import time
import unittest
from pathlib import Path

import x11
from calculator import HEIGHT, KEYS, WIDTH, CalculatorTestCase
from stores import registry_file, user_stores
from xsession import (EMULATOR, SCREEN_HEIGHT, SCREEN_WIDTH, START_TIMEOUT, program_command,
                      wait_until)

# The desktops' usual resolutions, and the uneven ones people set from a monitor's real one.
SKIN_DPIS = (96, 109, 120, 140, 163, 192, 240)
# The window's size at the scales the desktops offer.
SIZES = {96: (126, 224), 144: (189, 336), 192: (252, 448)}
# Sans faces the desktops install, as fontconfig names them.
SANS_FACES = ["Nimbus Sans", "Noto Sans", "DejaVu Sans", "Open Sans", "Cantarell",
              "Liberation Sans"]
# The entry label, in design pixels.
ENTRY = (14, 59, 80, 17)


def set_xft_dpi(session, dpi):
    subprocess.run(["xrdb", "-nocpp", "-merge", "-"], env=session.env(),
                   input=f"Xft.dpi:\t{dpi}\n", text=True, capture_output=True, timeout=10,
                   check=True)


def read_bitmap(data):
    """(width, height, {(x, y): (r, g, b)}) of a 24-bit bitmap file."""
    offset = int.from_bytes(data[10:14], "little")
    width = int.from_bytes(data[18:22], "little", signed=True)
    height = int.from_bytes(data[22:26], "little", signed=True)
    stride = (width * 3 + 3) & ~3
    pixels = {}
    for row in range(abs(height)):
        y = height - 1 - row if height > 0 else row
        for x in range(width):
            start = offset + row * stride + x * 3
            blue, green, red = data[start:start + 3]
            pixels[(x, y)] = (red, green, blue)
    return width, abs(height), pixels


def drawn_skin(dpi):
    """The skin as the programs draw it at dpi / 96, written by rechner-skin."""
    with tempfile.TemporaryDirectory() as scratch:
        target = Path(scratch) / "skin.bmp"
        # Under Wine a Unix path is reached through its Z: drive.
        name = f"Z:{target}".replace("/", "\\") if EMULATOR else str(target)
        subprocess.run(program_command("RECHNER_SKIN", str(dpi), name), check=True,
                       timeout=60, capture_output=True)
        return read_bitmap(target.read_bytes())


def scaled_rect(rect, width):
    """A design rectangle of the window at the scale its width shows, with a pixel of margin."""
    scale = width / WIDTH
    left, top, w, h = rect
    return (int(left * scale) - 1, int(top * scale) - 1, int(w * scale) + 3, int(h * scale) + 3)


def inside(point, rect):
    x, y = point
    left, top, width, height = rect
    return left <= x < left + width and top <= y < top + height


def tones_across(pixels, y, x_from, x_to):
    """How many different colours a row shows between two columns."""
    return len({pixels[(x, y)] for x in range(x_from, x_to)})


class ScaleCase(CalculatorTestCase):
    def start_at(self, dpi, user=None):
        set_xft_dpi(self.session, dpi)
        return self.start_calculator(user=user)

    def check_computes(self, calculator):
        for keys, shown in [("12+34=", "46"), ("7x6-2=", "40")]:
            calculator.click_keys("A" + keys)
            self.assertEqual(calculator.copied_display(), shown, f"clicked AC {keys}")


class FontsDoNotChangeTheSize(ScaleCase):
    def font_user(self, face):
        """A user whose fontconfig offers face as the sans font, and nothing else as sans."""
        user = self.new_user()
        conf = user.root / "fonts.conf"
        conf.write_text(
            '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n<fontconfig>\n'
            "  <dir>/usr/share/fonts</dir>\n"
            f"  <cachedir>{user.root / 'fontconfig'}</cachedir>\n"
            + "".join(f'  <alias binding="strong"><family>{family}</family>'
                      f"<prefer><family>{face}</family></prefer></alias>\n"
                      for family in ("sans", "sans-serif", "Helvetica"))
            + "</fontconfig>\n")
        user.env = lambda base=user.env: {**base(), "FONTCONFIG_FILE": str(conf)}
        matched = subprocess.run(["fc-match", "sans:bold"], env=self.session.env(user),
                                 capture_output=True, text=True, timeout=30).stdout
        self.assertIn(face, matched, "the private font set-up")
        return user

    def test_the_size_follows_xft_dpi_with_every_sans_face(self):
        digits = {}
        for face in SANS_FACES:
            user = self.font_user(face)
            for dpi, size in SIZES.items():
                with self.subTest(face=face, dpi=dpi):
                    calculator = self.start_at(dpi, user=user)
                    try:
                        self.assertEqual(calculator.geometry()[2:], size)
                        if dpi == 144:
                            self.check_computes(calculator)
                        if dpi in (96, 192):
                            digits[(face, dpi)] = self.digit_height(calculator, size[0])
                    finally:
                        calculator.program.stop()
        # The display's digits stand as high as the design's in every face, within a pixel.
        for dpi in (96, 192):
            heights = {face: digits[(face, dpi)] for face in SANS_FACES
                       if (face, dpi) in digits}
            self.assertLessEqual(max(heights.values()) - min(heights.values()), 1,
                                 f"{dpi} dpi: {heights}")
            self.assertLessEqual(abs(min(heights.values()) - 8 * dpi / 96), 1,
                                 f"{dpi} dpi: {heights}")

    def digit_height(self, calculator, width):
        """How many rows of the entry label hold dark pixels, with 1234567890 entered."""
        calculator.click_keys("A1234567890")
        left, top, w, h = scaled_rect(ENTRY, width)
        seen = calculator.window_pixels()
        rows = [y for y in range(top, top + h)
                if any(sum(seen[(x, y)]) < 3 * 96 for x in range(left, left + w))]
        return rows[-1] - rows[0] + 1 if rows else 0


class SkinDrawnForEachScale(ScaleCase):
    def test_the_window_shows_the_picture_drawn_for_its_scale(self):
        for dpi in SKIN_DPIS:
            with self.subTest(dpi=dpi):
                width, height, skin = drawn_skin(dpi)
                calculator = self.start_at(dpi)
                try:
                    self.assertEqual(calculator.geometry()[2:], (width, height))
                    # Holes stay holes, and only they are.
                    shown = calculator.shape_pixels()
                    self.assertEqual(shown, {p for p, colour in skin.items()
                                             if colour != (255, 255, 255)})
                    # Everything but the labels' text is the drawn picture, pixel for pixel.
                    display = scaled_rect((14, 43, 92, 33), width)
                    seen = calculator.window_pixels()
                    differing = [p for p in shown
                                 if not inside(p, display) and seen[p] != skin[p]]
                    self.assertEqual(differing[:10], [], f"{len(differing)} pixels differ")
                finally:
                    calculator.program.stop()

    def test_a_key_edge_at_192_dpi_is_as_sharp_as_at_96(self):
        # Across the outer left edge of keys with only the body to their left, halfway down,
        # from the body into the face: no more tones at 192 dpi than at 96.
        tones = {}
        for dpi in (96, 192):
            calculator = self.start_at(dpi)
            try:
                scale = calculator.geometry()[2] / WIDTH
                seen = calculator.window_pixels()
                for key in ("7", "C", ":"):
                    left, top, _, height = KEYS[key]
                    tones[key, dpi] = tones_across(seen, int((top + height // 2) * scale),
                                                   int((left - 2) * scale),
                                                   int((left + 4) * scale))
            finally:
                calculator.program.stop()
        for key in ("7", "C", ":"):
            self.assertLessEqual(tones[key, 192], tones[key, 96], f"{key} key: {tones}")


class HintAndMenuScale(ScaleCase):
    def hint_and_menu(self, dpi):
        calculator = self.start_at(dpi)
        try:
            scale = calculator.geometry()[2] / WIDTH
            left, top, width, height = KEYS["="]
            centre = (int((left + width / 2) * scale), int((top + height / 2) * scale))
            with x11.Display(self.session.display) as display:
                before = set(display.override_redirect_windows())

                def new_windows():
                    return set(display.override_redirect_windows()) - before
                calculator.move_pointer(centre)
                (hint,) = wait_until(new_windows, 3.0, "the hint of the = key")
                wait_until(lambda: not new_windows(), 5.0, "the hint to hide")
                calculator.click_point(centre, button=3)
                (menu,) = wait_until(new_windows, 3.0, "the context menu")
                calculator.press("Escape")
            return hint, menu
        finally:
            calculator.program.stop()

    def test_hint_and_menu_grow_with_the_form(self):
        (_, _, _, hint_width, hint_height), (_, _, _, menu_width, menu_height) = \
            self.hint_and_menu(96)
        hint, menu = self.hint_and_menu(192)
        # Twice the size, give or take what the font's own rounding makes of it.
        self.assertAlmostEqual(hint[3] / hint_width, 2.0, delta=0.2, msg=f"hint {hint}")
        self.assertAlmostEqual(hint[4] / hint_height, 2.0, delta=0.25, msg=f"hint {hint}")
        self.assertAlmostEqual(menu[4] / menu_height, 2.0, delta=0.35, msg=f"menu {menu}")
        self.assertGreater(menu[3], 1.5 * menu_width, f"menu {menu}")


class FollowsTheDesktopWhileRunning(ScaleCase):
    def test_xft_dpi_changes_rescale_the_window_in_place(self):
        calculator = self.start_at(96)
        self.assertEqual(calculator.geometry(), (SCREEN_WIDTH - WIDTH, 100, WIDTH, HEIGHT))
        stored = user_stores(self.user).registry_values()
        for dpi in (192, 144, 96):
            with self.subTest(dpi=dpi):
                started = time.monotonic()
                set_xft_dpi(self.session, dpi)
                width, height = SIZES[dpi]
                wait_until(lambda: calculator.geometry()[2:] == (width, height), 3.0,
                           f"the window to become {width} x {height}")
                took = time.monotonic() - started
                # Flush with the screen's right edge as it was placed, the top where it was.
                self.assertEqual(calculator.geometry(),
                                 (SCREEN_WIDTH - width, 100, width, height),
                                 f"rescaled in {took:.3f} s")
                shown = calculator.shape_pixels()
                self.assertNotIn((0, 0), shown)
                self.assertIn((width // 2, height // 2), shown)
                self.check_computes(calculator)
        # Rescaling moved the window, but only the user's drags write its position.
        self.assertEqual(user_stores(self.user).registry_values(), stored)


class SettingsManagerResolution(ScaleCase):
    def serve(self, config, dpi):
        config.write_text(f"Xft/DPI {dpi * 1024}\n")

    def test_xsettings_dpi_comes_first_and_is_followed(self):
        config = self.session.base_dirs.root / "xsettingsd.conf"
        self.serve(config, 192)
        manager = self.session.start(["xsettingsd", "-c", config], name="xsettingsd")
        try:
            with x11.Display(self.session.display) as display:
                wait_until(lambda: display.selection_owner("_XSETTINGS_S0"), START_TIMEOUT,
                           "xsettingsd to own the settings selection")
            calculator = self.start_at(96)
            self.assertEqual(calculator.geometry()[2:], SIZES[192], "at start, over Xft.dpi 96")
            self.serve(config, 144)
            os.kill(manager.pid, signal.SIGHUP)  # xsettingsd reads its file again
            wait_until(lambda: calculator.geometry()[2:] == SIZES[144], 3.0,
                       "the window to follow Xft/DPI 144")
        finally:
            manager.stop()
        # Without a manager the resources count again.
        wait_until(lambda: calculator.geometry()[2:] == SIZES[96], 3.0,
                   "the window to follow Xft.dpi once the manager is gone")
        # 960 for 96: as large as the screen lets it be, every key on it.
        set_xft_dpi(self.session, 960)
        height = SCREEN_HEIGHT
        width = round(WIDTH * height / HEIGHT)
        # Its size and its place come as two changes: the test waits for both.
        wait_until(lambda: calculator.geometry() == (SCREEN_WIDTH - width, 0, width, height), 3.0,
                   f"the window to become {width} x {height} at the screen's right edge")
        set_xft_dpi(self.session, 24)
        wait_until(lambda: calculator.geometry()[2:] == (WIDTH, HEIGHT), 3.0,
                   "24 dpi to give the design's size")
        self.check_computes(calculator)


class BackOnScreenAfterAMonitorGoes(ScaleCase):
    session_options = {"screen": (3840, 1080),
                       "monitors": [("Links", 0, 0, 1920, 1080),
                                    ("Rechts", 1920, 0, 1920, 1080)]}

    def test_a_window_on_an_unplugged_monitor_moves_wholly_onto_another(self):
        user_stores(self.user).write_registry(
            registry_file('"CalcLeft"="3700"', '"CalcTop"="300"'))
        calculator = self.start_calculator()
        calculator.wait_for_place((3700, 300), "on the right monitor")
        try:
            with x11.Display(self.session.display) as display:
                self.session.tool("xrandr", "--delmonitor", "Rechts")
                # A window manager may move a window after the change, when the calculator has
                # already looked (openbox keeps a strip of it visible): it looks once more.
                display.move_window(calculator.window, 1900, 300)
            # Wholly on the left monitor, moved as little as that takes.
            calculator.wait_for_place((1920 - WIDTH, 300), "after the right monitor went")
            time.sleep(1.0)
            self.assertEqual(calculator.geometry()[:2], (1920 - WIDTH, 300),
                             "the window left the screen again")
            values = user_stores(self.user).registry_values()
            self.assertEqual((values.get("CalcLeft"), values.get("CalcTop")), ("3700", "300"))
        finally:
            self.session.tool("xrandr", "--setmonitor", "Rechts",
                              "1920/508x1080/285+1920+0", "none", check=False)


if __name__ == "__main__":
    unittest.main()
