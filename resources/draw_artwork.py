#!/usr/bin/env python3
"""Draws the calculator's artwork: the 126 x 224 skin (skin.bmp, 24-bit), the 32 x 32,
16-colour program icon (rechner.ico), and the same icon for the desktop's icon theme, as an SVG
and as PNGs from 16 to 256 pixels (icons/). The build draws the skin again for each scale in
SKIN_SCALES, so a scaled window shows a picture drawn for its size rather than a stretched one.

    python3 resources/draw_artwork.py           writes them all beside this script
    python3 resources/draw_artwork.py --check   exits 1 when the committed files differ
    python3 resources/draw_artwork.py --skin PERCENT FILE
                                                writes the skin drawn at that scale to FILE

Only the standard library is used, and only arithmetic whose results IEEE 754 fixes (+, -, *,
/, sqrt), so every run on every machine writes the same bytes. The window treats pixels of
exactly 255, 255, 255 as holes that let clicks through. Everything around the calculator's body,
its rounded corners included, is exactly that, so no light frame shows on a dark desktop; the
body's edge is drawn hard, never blended toward the white around it. Inside the body the skin
must not contain a single such pixel, and the script refuses to write a picture that breaks
either rule.
"""

import math
import struct
import sys
import zlib
from pathlib import Path

SKIN_WIDTH, SKIN_HEIGHT = 126, 224
# The scales, in percent, that the program carries a skin for. Each is drawn from the same
# geometry, so an edge on whole pixels at 100 % lies on whole pixels at 200 % too.
SKIN_SCALES = (100, 125, 150, 175, 200)
WHITE = (255, 255, 255)
# The calculator's body: its box in continuous pixel coordinates and its corner radius.
BODY = (2.0, 2.0, 120.0, 220.0)
BODY_RADIUS = 11.0
DISPLAY = (178, 208, 184)
# The flat display colour fills these columns and rows (inclusive); the labels sit on it.
DISPLAY_FLAT = (24, 99, 40, 75)

# The key surfaces' rectangles (left, top, width, height), their legends and their kind.
KEYS = [
    (8, 191, 26, 21, "0", "digit"),
    (8, 171, 26, 21, "1", "digit"),
    (35, 170, 26, 21, "2", "digit"),
    (36, 190, 26, 21, ",", "digit"),
    (61, 190, 26, 21, "=", "operator"),
    (61, 171, 26, 21, "3", "digit"),
    (88, 171, 26, 43, "+", "operator"),
    (88, 150, 26, 21, "\u2212", "operator"),
    (61, 151, 26, 21, "6", "digit"),
    (35, 150, 26, 21, "5", "digit"),
    (9, 149, 26, 21, "4", "digit"),
    (8, 130, 26, 21, "7", "digit"),
    (35, 130, 26, 21, "8", "digit"),
    (61, 130, 26, 21, "9", "digit"),
    (88, 131, 26, 21, "\u00d7", "operator"),
    (88, 110, 26, 21, "\u00f7", "operator"),
    (36, 112, 26, 21, "AC", "clear"),
    (9, 112, 26, 21, "C", "clear"),
]

KEY_COLOURS = {
    # face, legend
    "digit": ((50, 52, 57), (236, 236, 232)),
    "operator": ((104, 108, 116), (244, 244, 240)),
    "clear": ((38, 96, 172), (240, 244, 250)),
}

# Bold legends: digits and letters are drawn from a 5 x 7 design, thickened by one pixel to the
# right; the operator signs are drawn at their final weight.
BOLD_GLYPHS = {
    "0": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "1": ["..#..", ".##..", "#.#..", "..#..", "..#..", "..#..", "#####"],
    "2": [".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"],
    "3": ["#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."],
    "4": ["...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."],
    "5": ["#####", "#....", "####.", "....#", "....#", "#...#", ".###."],
    "6": ["..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."],
    "7": ["#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."],
    "8": [".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."],
    "9": [".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "C": [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
}
SIGN_GLYPHS = {
    "+": ["...##...", "...##...", "...##...", "########", "########", "...##...", "...##...",
          "...##..."],
    "\u2212": ["#######", "#######"],
    "\u00d7": ["#.....#", "##...##", ".##.##.", "..###..", ".##.##.", "##...##", "#.....#"],
    "\u00f7": ["...##..", "...##..", ".......", "#######", "#######", ".......", "...##..",
               "...##.."],
    "=": ["#######", "#######", ".......", "#######", "#######"],
    # Blank rows on top seat the comma low on its key, where a decimal mark belongs.
    ",": ["..", "..", "..", "##", "##", ".#", "#."],
}
# The brand name near the top, in a light regular face.
BRAND_GLYPHS = {
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
    "e": [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    "c": [".....", ".....", ".####", "#....", "#....", "#....", ".####"],
    "h": ["#....", "#....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "n": [".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#"],
    "r": [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
}


def clamp(value, low, high):
    return low if value < low else high if value > high else value


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def shade(colour, factor):
    return tuple(clamp(c * factor, 0.0, 254.0) for c in colour)


def lighten(colour, amount):
    return tuple(clamp(c + amount, 0.0, 254.0) for c in colour)


def rounded_rect_distance(px, py, box, radius):
    """Signed distance from a point to a rounded rectangle (negative inside) and the outward
    normal there. box = (x0, y0, x1, y1) in continuous pixel coordinates."""
    x0, y0, x1, y1 = box
    cx, cy = (x0 + x1) / 2, (y0 + y1) / 2
    dx, dy = px - cx, py - cy
    qx = abs(dx) - ((x1 - x0) / 2 - radius)
    qy = abs(dy) - ((y1 - y0) / 2 - radius)
    sx = 1.0 if dx >= 0 else -1.0
    sy = 1.0 if dy >= 0 else -1.0
    if qx > 0 and qy > 0:
        length = math.sqrt(qx * qx + qy * qy)
        return length - radius, (sx * qx / length, sy * qy / length)
    if qx > qy:
        return qx - radius, (sx, 0.0)
    return qy - radius, (0.0, sy)


def scaled(value, percent):
    """A length of the 100 % design at a scale, rounded half up as the program rounds edges."""
    return (value * percent + 50) // 100


class Canvas:
    """A picture drawn from the design's coordinates at a scale. Shapes are measured in the
    picture's own pixels, so their anti-aliased edges are one pixel wide at every scale; a design
    pixel (a glyph's cell, a line) covers the whole pixels its edges round to."""

    def __init__(self, width, height, background, percent=100):
        self.percent = percent
        self.scale = percent / 100
        self.width = scaled(width, percent)
        self.height = scaled(height, percent)
        self.pixels = [[tuple(map(float, background)) for _ in range(self.width)]
                       for _ in range(self.height)]

    def design(self, pixel):
        """The design coordinate of a pixel's centre, a whole number at 100 %."""
        return (pixel + 0.5) / self.scale - 0.5

    def blend_pixel(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            self.pixels[y][x] = mix(self.pixels[y][x], colour, min(alpha, 1.0))

    def blend(self, x, y, colour, alpha):
        """Blends one design pixel, which covers a block of picture pixels."""
        for py in range(scaled(y, self.percent), scaled(y + 1, self.percent)):
            for px in range(scaled(x, self.percent), scaled(x + 1, self.percent)):
                self.blend_pixel(px, py, colour, alpha)

    def fill_rounded(self, box, radius, paint, opacity=1.0, hard=False):
        """Fills a rounded rectangle with anti-aliased edges, or with hard ones that take a pixel
        whole when its centre lies inside; paint(x, y, distance, normal) gives each pixel's
        colour, from its design coordinates and its distance in design pixels."""
        s = self.scale
        outline = tuple(v * s for v in box)
        x0, y0, x1, y1 = outline
        for y in range(int(y0) - 1, int(y1) + 2):
            for x in range(int(x0) - 1, int(x1) + 2):
                distance, normal = rounded_rect_distance(x + 0.5, y + 0.5, outline, radius * s)
                if hard:
                    coverage = 1.0 if distance <= 0.0 else 0.0
                else:
                    coverage = clamp(0.5 - distance, 0.0, 1.0)
                if coverage > 0:
                    colour = paint(self.design(x), self.design(y), distance / s, normal)
                    self.blend_pixel(x, y, colour, coverage * opacity)

    def inside_body(self, x, y):
        s = self.scale
        return rounded_rect_distance(x + 0.5, y + 0.5, tuple(v * s for v in BODY),
                                     BODY_RADIUS * s)[0] <= 0.0

    def design_cell(self, x, y):
        """The design pixel whose block holds a picture pixel."""
        return math.floor(self.design(x) + 0.5), math.floor(self.design(y) + 0.5)

    def draw_glyphs(self, text, glyphs, left, top, colour, alpha=1.0, bold=False):
        x = left
        for character in text:
            rows = glyphs[character]
            for row, line in enumerate(rows):
                for column, cell in enumerate(line):
                    if cell == "#":
                        self.blend(x + column, top + row, colour, alpha)
                        if bold:
                            self.blend(x + column + 1, top + row, colour, alpha)
            x += len(rows[0]) + (2 if bold else 1)

    def quantised(self):
        return [[tuple(int(clamp(c, 0.0, 255.0) + 0.5) for c in pixel) for pixel in row]
                for row in self.pixels]


def legend_size(text):
    if text in SIGN_GLYPHS:
        rows = SIGN_GLYPHS[text]
        return len(rows[0]), len(rows)
    return len(text) * 7 - 1, 7


def lit(colour, normal, strength):
    """Lights a rim from the top left: edges facing up or left brighten, the others darken."""
    facing = -(normal[0] * 0.6 + normal[1] * 0.8)
    return lighten(colour, strength * facing)


def draw_body(canvas):
    # Hard edged: a pixel half white would be neither a hole nor the body, but a light rim on
    # whatever desktop lies behind the window.
    top, bottom = (74, 77, 83), (50, 52, 57)

    def paint(x, y, distance, normal):
        colour = mix(top, bottom, clamp((y - 2) / 218, 0.0, 1.0))
        if distance > -2.0:
            colour = lit(colour, normal, 38.0 * clamp(distance + 2.0, 0.0, 1.0))
        elif distance > -3.0:
            colour = lit(colour, normal, -10.0)
        return colour

    canvas.fill_rounded(BODY, BODY_RADIUS, paint, hard=True)


def draw_brand(canvas):
    canvas.draw_glyphs("Rechner", BRAND_GLYPHS, 12, 10, (20, 21, 24), 0.6)
    canvas.draw_glyphs("Rechner", BRAND_GLYPHS, 12, 9, (206, 208, 212))


def draw_solar_cell(canvas):
    frame = (76.0, 8.0, 112.0, 21.0)
    canvas.fill_rounded(frame, 2.0, lambda x, y, d, n: lit((40, 41, 45), n, -30.0 if d > -1 else 0))
    cells = 4
    for index in range(cells):
        left = 77.5 + index * 8.5
        cell = (left, 9.5, left + 8.0, 19.5)

        def paint(x, y, distance, normal):
            colour = mix((86, 60, 50), (58, 38, 34), clamp((y - 9.5) / 10.0, 0.0, 1.0))
            if math.floor(y + 0.5) in (12, 16):
                colour = shade(colour, 0.8)
            return colour

        canvas.fill_rounded(cell, 0.8, paint)


def draw_display(canvas):
    flat_left, flat_right, flat_top, flat_bottom = DISPLAY_FLAT
    bezel = (10.0, 29.0, 112.0, 87.0)
    glass = (13.0, 32.0, 109.0, 84.0)

    def paint_bezel(x, y, distance, normal):
        colour = (34, 35, 39)
        if distance > -1.2:
            colour = lit(colour, normal, 26.0)
        return colour

    canvas.fill_rounded(bezel, 4.0, paint_bezel)

    edge = (124, 150, 130)

    def paint_glass(x, y, distance, normal):
        if (flat_left <= math.floor(x + 0.5) <= flat_right
                and flat_top <= math.floor(y + 0.5) <= flat_bottom):
            return DISPLAY
        # How far out towards the bezel the pixel lies, 0 at the flat area and 1 at the rim,
        # measured separately per side because the margins differ.
        tx = max((flat_left - x) / (flat_left - glass[0]),
                 (x - flat_right) / (glass[2] - 1 - flat_right), 0.0)
        ty = max((flat_top - y) / (flat_top - glass[1]),
                 (y - flat_bottom) / (glass[3] - 1 - flat_bottom), 0.0)
        t = clamp(math.sqrt(tx * tx + ty * ty), 0.0, 1.0)
        t = t * t * (3 - 2 * t)
        colour = mix(DISPLAY, edge, 0.75 * t)
        if y < flat_top:
            colour = shade(colour, 1.0 - 0.08 * t)
        return colour

    canvas.fill_rounded(glass, 2.5, paint_glass)


def draw_groove(canvas):
    """A fine engraved line between the display and the keys, as moulded cases have."""
    for x in range(14, 108):
        fade = clamp(min(x - 13, 108 - x) / 6.0, 0.0, 1.0)
        canvas.blend(x, 98, (24, 25, 28), 0.55 * fade)
        canvas.blend(x, 99, (120, 123, 130), 0.35 * fade)


def draw_key(canvas, left, top, width, height, legend, kind):
    face_colour, legend_colour = KEY_COLOURS[kind]
    right, bottom = left + width, top + height
    canvas.fill_rounded((left + 0.5, top + 1.5, right - 0.5, bottom + 0.2), 3.5,
                        lambda x, y, d, n: (16, 17, 20), 0.55)
    canvas.fill_rounded((left + 1.0, top + 1.0, right - 1.0, bottom - 1.0), 3.0,
                        lambda x, y, d, n: shade(face_colour, 0.62))
    face = (left + 1.0, top + 1.0, right - 1.0, bottom - 3.0)

    def paint_face(x, y, distance, normal):
        colour = mix(lighten(face_colour, 22.0), face_colour,
                     clamp((y - face[1]) / (face[3] - face[1]), 0.0, 1.0))
        if distance > -1.0 and normal[1] < 0:
            colour = lighten(colour, 30.0 * -normal[1])
        return colour

    canvas.fill_rounded(face, 3.0, paint_face)

    glyph_width, glyph_height = legend_size(legend)
    x = int((face[0] + face[2] - glyph_width) / 2)
    y = int((face[1] + face[3] - glyph_height) / 2)
    glyphs, bold = (SIGN_GLYPHS, False) if legend in SIGN_GLYPHS else (BOLD_GLYPHS, True)
    canvas.draw_glyphs(legend, glyphs, x, y + 1, shade(face_colour, 0.45), 0.7, bold)
    canvas.draw_glyphs(legend, glyphs, x, y, legend_colour, 1.0, bold)


def draw_skin(percent=100):
    canvas = Canvas(SKIN_WIDTH, SKIN_HEIGHT, WHITE, percent)
    draw_body(canvas)
    draw_brand(canvas)
    draw_solar_cell(canvas)
    draw_display(canvas)
    draw_groove(canvas)
    for left, top, width, height, legend, kind in KEYS:
        draw_key(canvas, left, top, width, height, legend, kind)
    pixels = canvas.quantised()

    flat_left, flat_right, flat_top, flat_bottom = DISPLAY_FLAT
    for y, row in enumerate(pixels):
        for x, pixel in enumerate(row):
            inside = canvas.inside_body(x, y)
            if inside and pixel == WHITE:
                raise SystemExit(f"body pixel {x}, {y} at {percent} % is exactly white: it would "
                                 "be a hole")
            if not inside and pixel != WHITE:
                raise SystemExit(f"pixel {x}, {y} around the body at {percent} % is {pixel}, "
                                 "not the key colour: it would show as a frame")
            cx, cy = canvas.design_cell(x, y)
            if flat_left <= cx <= flat_right and flat_top <= cy <= flat_bottom and pixel != DISPLAY:
                raise SystemExit(f"display pixel {x}, {y} at {percent} % is {pixel}, not the "
                                 "flat colour")
    return pixels


def encode_bitmap(pixels):
    """An uncompressed 24-bit Windows bitmap, bottom-up, rows padded to four bytes."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(pixels):
        for red, green, blue in row:
            data += bytes((blue, green, red))
        data += bytes(stride - width * 3)
    offset = 14 + 40
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 3780, 3780, 0, 0)
    return header + info + bytes(data)


# The icon: a small version of the same calculator in a 16-colour palette.
ICON_PALETTE = [
    (0, 0, 0),        # 0 transparent pixels: black under the AND mask, as the format expects
    (22, 23, 26),     # 1 outline
    (78, 81, 88),     # 2 body
    (118, 122, 130),  # 3 body highlight
    (50, 52, 57),     # 4 body shadow
    (178, 208, 184),  # 5 display
    (120, 146, 126),  # 6 display edge
    (30, 40, 32),     # 7 display digits
    (30, 31, 34),     # 8 digit key
    (104, 106, 112),  # 9 digit key top
    (128, 132, 140),  # 10 operator key
    (170, 174, 180),  # 11 operator key top
    (40, 98, 176),    # 12 blue key
    (96, 150, 220),   # 13 blue key top
    (12, 12, 14),     # 14 spare: the format has sixteen slots
    (200, 202, 206),  # 15 spare
]


# The icon's display shows "12": each digit's pixel design and its left column, from row 6.
ICON_DIGITS = [
    ([".#", "##", ".#", ".#", ".#"], 16),
    (["##.", "..#", ".#.", "#..", "###"], 20),
]
ICON_DIGIT_TOP = 6


def icon_keys():
    """The icon's keys as (left, top, right, bottom, face, highlight) on the 32 x 32 grid, with
    palette indices: four columns, the right one the operators with a tall plus, and the two
    clear keys blue."""
    columns = [7, 12, 17, 22]
    rows = [14, 18, 22, 26]
    for row_number, top in enumerate(rows):
        for column_number, left in enumerate(columns):
            if column_number == 3 and row_number == 3:
                continue
            bottom = top + 3
            if column_number == 3 and row_number == 2:
                bottom = top + 7
            if row_number == 0 and column_number < 2:
                face, highlight = 12, 13
            elif column_number == 3:
                face, highlight = 10, 11
            else:
                face, highlight = 8, 9
            yield left, top, left + 4, bottom, face, highlight


def draw_icon():
    size = 32
    index = [[0] * size for _ in range(size)]
    opaque = [[False] * size for _ in range(size)]
    body = (4.0, 1.0, 28.0, 31.0)
    for y in range(size):
        for x in range(size):
            distance, normal = rounded_rect_distance(x + 0.5, y + 0.5, body, 4.0)
            if distance > 0.0:
                continue
            opaque[y][x] = True
            if distance > -1.0:
                index[y][x] = 1
            elif distance > -2.0:
                facing = -(normal[0] * 0.6 + normal[1] * 0.8)
                index[y][x] = 3 if facing > 0.2 else 4 if facing < -0.2 else 2
            else:
                index[y][x] = 2

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1):
            for x in range(x0, x1):
                index[y][x] = colour

    # Display window with a few digits on it.
    fill(7, 4, 25, 12, 6)
    fill(8, 5, 24, 11, 5)
    for digit, left in ICON_DIGITS:
        for row, line in enumerate(digit):
            for column, cell in enumerate(line):
                if cell == "#":
                    index[ICON_DIGIT_TOP + row][left + column] = 7

    for left, top, right, bottom, face, highlight in icon_keys():
        fill(left, top, right, bottom, face)
        fill(left, top, right, top + 1, highlight)
    return index, opaque


def encode_icon(index, opaque):
    """A Windows icon file holding one 32 x 32 image with a 4-bit palette and its AND mask."""
    size = len(index)
    xor_data = bytearray()
    and_data = bytearray()
    for y in reversed(range(size)):
        for x in range(0, size, 2):
            first = index[y][x] if opaque[y][x] else 0
            second = index[y][x + 1] if opaque[y][x + 1] else 0
            xor_data.append(first << 4 | second)
        mask = 0
        for x in range(size):
            mask = mask << 1 | (0 if opaque[y][x] else 1)
        and_data += mask.to_bytes(size // 8, "big")
    palette = b"".join(bytes((blue, green, red, 0)) for red, green, blue in ICON_PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                       len(xor_data) + len(and_data), 0, 0, 16, 0)
    image = info + palette + bytes(xor_data) + bytes(and_data)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


# The desktop's icons: the same calculator as rounded rectangles on the 32 x 32 grid, one
# description for the SVG and for the PNG at every size the icon theme asks for.
THEME_ICON_SIZES = (16, 32, 48, 64, 128, 256)


def icon_shapes():
    """(box, corner radius, colour) in painting order; the first is the outline, whose edge is
    the icon's edge."""
    palette = ICON_PALETTE
    shapes = [
        ((4, 1, 28, 31), 4.0, palette[1]),
        # Two rims make one: lit from the top left, in shadow at the bottom right.
        ((5, 2, 27, 30), 3.0, palette[3]),
        ((6, 3, 27, 30), 3.0, palette[4]),
        ((6, 3, 26, 29), 2.0, palette[2]),
        ((7, 4, 25, 12), 1.0, palette[6]),
        ((8, 5, 24, 11), 0.5, palette[5]),
    ]
    for digit, left in ICON_DIGITS:
        for row, line in enumerate(digit):
            for column, cell in enumerate(line):
                if cell == "#":
                    x, y = left + column, ICON_DIGIT_TOP + row
                    shapes.append(((x, y, x + 1, y + 1), 0.0, palette[7]))
    for left, top, right, bottom, face, highlight in icon_keys():
        shapes.append(((left, top, right, bottom), 0.75, palette[face]))
        shapes.append(((left, top, right, top + 1), 0.5, palette[highlight]))
    return shapes


def draw_theme_icon(size):
    """The icon at size x size pixels as rows of (red, green, blue, alpha), anti-aliased."""
    scale = size / 32
    (outline_box, outline_radius, outline_colour), *inner = icon_shapes()
    canvas = Canvas(size, size, outline_colour)
    for box, radius, colour in inner:
        canvas.fill_rounded(tuple(v * scale for v in box), radius * scale,
                            lambda x, y, d, n, colour=colour: colour)
    outline = tuple(v * scale for v in outline_box)
    rows = []
    for y, row in enumerate(canvas.quantised()):
        alphas = (clamp(0.5 - rounded_rect_distance(x + 0.5, y + 0.5, outline,
                                                    outline_radius * scale)[0], 0.0, 1.0)
                  for x in range(size))
        rows.append([(*pixel, int(alpha * 255 + 0.5)) for pixel, alpha in zip(row, alphas)])
    return rows


def encode_png(rows):
    """A PNG of 8-bit RGBA rows, unfiltered."""
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(channel for pixel in row for channel in pixel) for row in rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def png_content(data):
    """A PNG's chunks with the image data decompressed: what the picture is, whichever zlib
    compressed it (zlib promises the same data back, not the same compressed bytes)."""
    chunks, image, offset = [], b"", 8
    while offset < len(data):
        length, kind = struct.unpack(">I4s", data[offset:offset + 8])
        payload = data[offset + 8:offset + 8 + length]
        if kind == b"IDAT":
            image += payload
        else:
            chunks.append((kind, payload))
        offset += 12 + length
    return data[:8], chunks, zlib.decompress(image)


def encode_svg():
    def number(value):
        return f"{value:g}"
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" '
             'viewBox="0 0 32 32">']
    for (x0, y0, x1, y1), radius, (red, green, blue) in icon_shapes():
        corner = f' rx="{number(radius)}"' if radius else ""
        lines.append(f'  <rect x="{number(x0)}" y="{number(y0)}" width="{number(x1 - x0)}" '
                     f'height="{number(y1 - y0)}"{corner} fill="#{red:02x}{green:02x}{blue:02x}"/>')
    lines.append("</svg>")
    return ("\n".join(lines) + "\n").encode()


def same_picture(path, data):
    if not path.exists():
        return False
    if path.suffix == ".png":
        return png_content(path.read_bytes()) == png_content(data)
    return path.read_bytes() == data


def main():
    here = Path(__file__).resolve().parent
    outputs = {
        here / "skin.bmp": encode_bitmap(draw_skin()),
        here / "rechner.ico": encode_icon(*draw_icon()),
        here / "icons" / "rechner.svg": encode_svg(),
    }
    for size in THEME_ICON_SIZES:
        outputs[here / "icons" / f"rechner-{size}.png"] = encode_png(draw_theme_icon(size))
    if sys.argv[1:2] == ["--skin"] and len(sys.argv) == 4 and sys.argv[2].isdigit():
        percent = int(sys.argv[2])
        if percent not in SKIN_SCALES:
            print(f"no skin is drawn at {percent} %; the scales are {SKIN_SCALES}")
            return 2
        Path(sys.argv[3]).write_bytes(encode_bitmap(draw_skin(percent)))
        return 0
    if sys.argv[1:] == ["--check"]:
        stale = [path.name for path, data in outputs.items()
                 if not same_picture(path, data)]
        if stale:
            print("out of date, run draw_artwork.py: " + ", ".join(stale))
            return 1
        return 0
    if sys.argv[1:]:
        print(__doc__)
        return 2
    for path, data in outputs.items():
        path.parent.mkdir(exist_ok=True)
        path.write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
