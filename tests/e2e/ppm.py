"""Binary PPM (P6) pictures: small, lossless and readable without anything beyond the standard
library, which is all the reference images of the display need."""

from dataclasses import dataclass


@dataclass(frozen=True)
class Picture:
    width: int
    height: int
    pixels: bytes  # red, green, blue per pixel, rows from the top

    def differing_pixels(self, other, tolerance):
        """How many pixels differ from other's by more than tolerance in some colour."""
        if (self.width, self.height) != (other.width, other.height):
            raise ValueError(f"sizes differ: {self.width}x{self.height} and "
                             f"{other.width}x{other.height}")
        count = 0
        for start in range(0, len(self.pixels), 3):
            mine = self.pixels[start:start + 3]
            theirs = other.pixels[start:start + 3]
            if any(abs(a - b) > tolerance for a, b in zip(mine, theirs)):
                count += 1
        return count


def parse(data):
    """Reads a P6 picture with 8-bit colours, as ImageMagick writes it."""
    fields = []
    position = 0
    while len(fields) < 4:
        while data[position:position + 1].isspace():
            position += 1
        if data[position:position + 1] == b"#":
            position = data.index(b"\n", position)
            continue
        end = position
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[position:end])
        position = end
    magic, width, height, maximum = fields
    if magic != b"P6" or maximum != b"255":
        raise ValueError(f"not an 8-bit P6 picture: {magic!r}, maximum {maximum!r}")
    width, height = int(width), int(height)
    # One whitespace byte separates the header from the pixels.
    pixels = data[position + 1:position + 1 + width * height * 3]
    if len(pixels) != width * height * 3:
        raise ValueError("picture data is cut short")
    return Picture(width, height, pixels)


def encode(picture):
    return b"P6\n%d %d\n255\n" % (picture.width, picture.height) + picture.pixels
