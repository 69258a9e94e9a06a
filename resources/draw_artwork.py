#!/usr/bin/env python3
"""Draws the calculator's program icon: the 32 x 32, 16-colour rechner.ico, and the same icon
for the desktop's icon theme, as an SVG and as PNGs from 16 to 256 pixels (icons/). The skin is
drawn by the programs themselves for their scale; build/rechner-skin writes it to a file.

    python3 resources/draw_artwork.py           writes them all beside this script
    python3 resources/draw_artwork.py --check   exits 1 when the committed files differ

Only the standard library is used, and only arithmetic whose results IEEE 754 fixes (+, -, *,
/, sqrt), so every run on every machine writes the same bytes.
"""

import math
import struct
import sys
import zlib
from pathlib import Path

def clamp(value, low, high):
    return low if value < low else high if value > high else value


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


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


class Canvas:
    """A picture with anti-aliased rounded rectangles, as the theme's icons are drawn."""

    def __init__(self, width, height, background):
        self.width = width
        self.height = height
        self.pixels = [[tuple(map(float, background)) for _ in range(width)]
                       for _ in range(height)]

    def blend_pixel(self, x, y, colour, alpha):
        if 0 <= x < self.width and 0 <= y < self.height and alpha > 0:
            self.pixels[y][x] = mix(self.pixels[y][x], colour, min(alpha, 1.0))

    def fill_rounded(self, box, radius, colour):
        x0, y0, x1, y1 = box
        for y in range(int(y0) - 1, int(y1) + 2):
            for x in range(int(x0) - 1, int(x1) + 2):
                distance, _ = rounded_rect_distance(x + 0.5, y + 0.5, box, radius)
                self.blend_pixel(x, y, colour, clamp(0.5 - distance, 0.0, 1.0))

    def quantised(self):
        return [[tuple(int(clamp(c, 0.0, 255.0) + 0.5) for c in pixel) for pixel in row]
                for row in self.pixels]


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
        canvas.fill_rounded(tuple(v * scale for v in box), radius * scale, colour)
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
        here / "rechner.ico": encode_icon(*draw_icon()),
        here / "icons" / "rechner.svg": encode_svg(),
    }
    for size in THEME_ICON_SIZES:
        outputs[here / "icons" / f"rechner-{size}.png"] = encode_png(draw_theme_icon(size))
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
