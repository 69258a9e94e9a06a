#pragma once
// An RGB picture in memory, and the routines that turn the embedded resource files into one:
// decoding the skin bitmap and the program icon, smooth scaling, and the colour-key mask.
// Toolkit-free, so both backends and the headless tests share it.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

#include "FormTypes.h"

// Top-down rows, three bytes per pixel in the order red, green, blue.
struct Picture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgb;
};

// 32-bit 0xAARRGGBB pixels, top-down, as X11's _NET_WM_ICON and most toolkits take them.
struct IconImage {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint32_t> Argb;
};

class PictureFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads an uncompressed 24-bit Windows bitmap file (bottom-up or top-down rows, padded to four
// bytes). Anything else throws PictureFormatError.
Picture DecodeBitmap(std::span<const std::uint8_t> file);

// The width and height of a bitmap file as DecodeBitmap would read them, without decoding its
// pixels. Throws PictureFormatError where DecodeBitmap would.
Point BitmapSize(std::span<const std::uint8_t> file);

// Scales smoothly to the given size by averaging the source area each pixel covers; the same
// size returns the picture unchanged. Exactly white pixels are the colour key's holes: a target
// pixel is white where holes cover more than half of its area, and otherwise averages only the
// pixels that are not white, so the picture's edge never blends toward white and scaling never
// punches a hole where the source has none. A size below one pixel, a picture whose Rgb does
// not match its size, or one wider than the widest bitmap DecodeBitmap reads (16384 pixels) throws
// std::invalid_argument.
Picture ScalePicture(const Picture& source, int width, int height);

// The parts of a client area of the given size that stay visible under the colour key when the
// picture is drawn at 0, 0 on a background of the key colour: horizontal runs of pixels that are
// not exactly the key, one rectangle per run, top to bottom. Beyond the picture the client area
// is transparent; a smaller client area clips the runs.
std::vector<Rect> ColourKeyMask(const Picture& picture, Colour key, int clientWidth,
                                int clientHeight);

// Reads the first image of a Windows icon file (4- or 8-bit palette or 24/32-bit, with its AND
// mask). Anything else throws PictureFormatError.
IconImage DecodeIcon(std::span<const std::uint8_t> file);
