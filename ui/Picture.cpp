// Decoding of the embedded bitmap and icon files, smooth scaling and the colour-key mask. The
// decoders trust nothing in a file: every size and offset is checked against the file's length
// before it is used, in 64-bit arithmetic, so a damaged file throws instead of reading past its
// end.

#include "Picture.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>

namespace {

using Bytes = std::span<const std::uint8_t>;

constexpr std::size_t BitmapFileHeaderSize = 14;
// BITMAPINFOHEADER; its later versions only append fields, so any header at least this long
// starts with the fields read here.
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t UncompressedRgb = 0;  // BI_RGB
// Far above any skin or icon, and small enough that width × height × 4 stays within an int.
constexpr std::int64_t MaxBitmapSide = 16384;
constexpr std::int64_t MaxIconSide = 256;

bool IsWhite(const std::uint8_t* rgb) {
    return rgb[0] == 255 && rgb[1] == 255 && rgb[2] == 255;
}

// The part of a file the format says is there; throws when the file ends first.
Bytes Slice(Bytes file, std::uint64_t offset, std::uint64_t length, const char* what) {
    if (offset > file.size() || length > file.size() - offset) {
        throw PictureFormatError(std::string(what) + " lies beyond the end of the file");
    }
    return file.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
}

std::uint16_t ReadU16(Bytes file, std::uint64_t offset, const char* what) {
    const Bytes b = Slice(file, offset, 2, what);
    return static_cast<std::uint16_t>(b[0] | b[1] << 8);
}

std::uint32_t ReadU32(Bytes file, std::uint64_t offset, const char* what) {
    const Bytes b = Slice(file, offset, 4, what);
    return static_cast<std::uint32_t>(b[0]) | static_cast<std::uint32_t>(b[1]) << 8 |
           static_cast<std::uint32_t>(b[2]) << 16 | static_cast<std::uint32_t>(b[3]) << 24;
}

// Widened at once: negating the most negative 32-bit height must not overflow.
std::int64_t ReadI32(Bytes file, std::uint64_t offset, const char* what) {
    return static_cast<std::int32_t>(ReadU32(file, offset, what));
}

// The fields of the BITMAPINFOHEADER at the start of an image that the decoders use. Only the
// header's own length is checked here; each decoder judges the values by its format's rules.
struct InfoHeader {
    std::uint32_t HeaderSize = 0;
    std::int64_t Width = 0;
    std::int64_t Height = 0;  // negative for top-down rows
    std::uint16_t BitsPerPixel = 0;
    std::uint32_t ColoursUsed = 0;
};

InfoHeader ReadInfoHeader(Bytes image) {
    InfoHeader header;
    header.HeaderSize = ReadU32(image, 0, "the bitmap header");
    if (header.HeaderSize < InfoHeaderSize) {
        throw PictureFormatError("bitmap header of " + std::to_string(header.HeaderSize) +
                                 " bytes is not supported");
    }
    Slice(image, 0, header.HeaderSize, "the bitmap header");
    header.Width = ReadI32(image, 4, "the bitmap width");
    header.Height = ReadI32(image, 8, "the bitmap height");
    if (ReadU16(image, 12, "the plane count") != 1) {
        throw PictureFormatError("a bitmap must have exactly one plane");
    }
    header.BitsPerPixel = ReadU16(image, 14, "the colour depth");
    if (ReadU32(image, 16, "the compression") != UncompressedRgb) {
        throw PictureFormatError("compressed bitmaps are not supported");
    }
    header.ColoursUsed = ReadU32(image, 32, "the palette size");
    return header;
}

// Bytes per row: rows are padded to a multiple of four bytes.
std::uint64_t RowStride(std::int64_t width, int bitsPerPixel) {
    return (static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitsPerPixel) + 31) /
           32 * 4;
}

void CheckPicture(const Picture& picture) {
    if (picture.Width <= 0 || picture.Height <= 0 ||
        picture.Rgb.size() != static_cast<std::size_t>(picture.Width) *
                                  static_cast<std::size_t>(picture.Height) * 3) {
        throw std::invalid_argument("picture of " + std::to_string(picture.Width) + " x " +
                                    std::to_string(picture.Height) + " pixels holds " +
                                    std::to_string(picture.Rgb.size()) + " bytes");
    }
}

std::size_t PixelOffset(const Picture& picture, int x, int y) {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.Width) +
            static_cast<std::size_t>(x)) *
           3;
}

// One source pixel's share of a target pixel under area averaging.
struct Tap {
    std::size_t Index = 0;
    std::uint64_t Weight = 0;
};

// For every target pixel along one axis, the source pixels it covers and by how much. Lengths
// are counted in units of 1 / (sourceSize × targetSize) of the axis, so every weight is a whole
// number and the weights of one target pixel add up to sourceSize exactly.
std::vector<std::vector<Tap>> AreaTaps(int sourceSize, int targetSize) {
    const auto source = static_cast<std::uint64_t>(sourceSize);
    const auto target = static_cast<std::uint64_t>(targetSize);
    std::vector<std::vector<Tap>> taps(static_cast<std::size_t>(targetSize));
    for (std::uint64_t t = 0; t < target; ++t) {
        const std::uint64_t begin = t * source;
        const std::uint64_t end = begin + source;
        for (std::uint64_t s = begin / target; s * target < end; ++s) {
            const std::uint64_t covered =
                std::min(end, (s + 1) * target) - std::max(begin, s * target);
            taps[static_cast<std::size_t>(t)].push_back({static_cast<std::size_t>(s), covered});
        }
    }
    return taps;
}

}  // namespace

namespace {

// A bitmap file's pixel rows as its headers describe them, every field checked.
struct BitmapLayout {
    std::int64_t Width = 0;
    std::int64_t Rows = 0;
    bool BottomUp = true;
    Bytes Pixels;
    std::size_t RowBytes = 0;
};

BitmapLayout ReadBitmapLayout(Bytes file) {
    if (ReadU16(file, 0, "the file signature") != 0x4D42) {  // "BM"
        throw PictureFormatError("not a Windows bitmap file");
    }
    if (ReadU32(file, 2, "the file size") > file.size()) {
        throw PictureFormatError("the bitmap file is truncated");
    }
    const std::uint32_t pixelOffset = ReadU32(file, 10, "the pixel offset");
    // Reading the pixel offset proved the file header complete.
    const Bytes image = file.subspan(BitmapFileHeaderSize);
    const InfoHeader header = ReadInfoHeader(image);
    if (header.BitsPerPixel != 24) {
        throw PictureFormatError(std::to_string(header.BitsPerPixel) +
                                 "-bit bitmaps are not supported, only 24-bit");
    }
    const std::int64_t rows = header.Height < 0 ? -header.Height : header.Height;
    if (header.Width <= 0 || rows == 0 || header.Width > MaxBitmapSide || rows > MaxBitmapSide) {
        throw PictureFormatError("bitmap size " + std::to_string(header.Width) + " x " +
                                 std::to_string(header.Height) + " is out of range");
    }
    if (pixelOffset < BitmapFileHeaderSize + header.HeaderSize) {
        throw PictureFormatError("the pixels overlap the bitmap header");
    }
    const std::uint64_t stride = RowStride(header.Width, 24);
    BitmapLayout layout;
    layout.Width = header.Width;
    layout.Rows = rows;
    layout.BottomUp = header.Height > 0;
    layout.Pixels =
        Slice(file, pixelOffset, stride * static_cast<std::uint64_t>(rows), "the pixel data");
    // Within the file now, so within size_t too.
    layout.RowBytes = static_cast<std::size_t>(stride);
    return layout;
}

}  // namespace

Point BitmapSize(Bytes file) {
    const BitmapLayout layout = ReadBitmapLayout(file);
    return {static_cast<int>(layout.Width), static_cast<int>(layout.Rows)};
}

Picture DecodeBitmap(Bytes file) {
    const BitmapLayout layout = ReadBitmapLayout(file);
    const std::int64_t rows = layout.Rows;
    const Bytes pixels = layout.Pixels;
    const std::size_t rowBytes = layout.RowBytes;

    Picture picture;
    picture.Width = static_cast<int>(layout.Width);
    picture.Height = static_cast<int>(rows);
    picture.Rgb.resize(static_cast<std::size_t>(layout.Width * rows * 3));
    const bool bottomUp = layout.BottomUp;
    for (int y = 0; y < picture.Height; ++y) {
        const int sourceRow = bottomUp ? picture.Height - 1 - y : y;
        const std::uint8_t* in = &pixels[static_cast<std::size_t>(sourceRow) * rowBytes];
        std::uint8_t* out = &picture.Rgb[PixelOffset(picture, 0, y)];
        for (int x = 0; x < picture.Width; ++x, in += 3, out += 3) {
            // Stored blue, green, red.
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
    }
    return picture;
}

Picture ScalePicture(const Picture& source, int width, int height) {
    CheckPicture(source);
    if (width <= 0 || height <= 0) {
        throw std::invalid_argument("cannot scale a picture to " + std::to_string(width) + " x " +
                                    std::to_string(height) + " pixels");
    }
    if (width == source.Width && height == source.Height) {
        return source;
    }
    if (source.Width > MaxBitmapSide) {
        throw std::invalid_argument("cannot scale a picture wider than " +
                                    std::to_string(MaxBitmapSide) + " pixels");
    }
    const auto columns = AreaTaps(source.Width, width);
    const auto rows = AreaTaps(source.Height, height);

    // Per target pixel: the weighted sums of red, green and blue over the covered pixels that are
    // not white, and the weight of those pixels. White is the colour key, a hole in the window,
    // and no colour to blend: averaged in, it would give the body a light fringe where it meets
    // a hole.
    constexpr std::size_t Sums = 4;
    constexpr std::size_t Opaque = 3;

    // Horizontal pass into exact sums, so the only rounding happens once at the end. The weights
    // of one target pixel add up to the source width, at most 16384, so a sum stays below
    // 255 × 16384 and 32 bits hold it: half the memory of the widest type, which a scaled-down
    // skin briefly needs a megabyte of.
    const auto targetWidth = static_cast<std::size_t>(width);
    std::vector<std::uint32_t> rowSums(static_cast<std::size_t>(source.Height) * targetWidth *
                                       Sums);
    for (int y = 0; y < source.Height; ++y) {
        for (std::size_t x = 0; x < targetWidth; ++x) {
            std::uint32_t* sum = &rowSums[(static_cast<std::size_t>(y) * targetWidth + x) * Sums];
            for (const Tap& tap : columns[x]) {
                const std::uint8_t* in = &source.Rgb[PixelOffset(source, 0, y) + tap.Index * 3];
                if (IsWhite(in)) {
                    continue;
                }
                for (std::size_t channel = 0; channel < 3; ++channel) {
                    sum[channel] += static_cast<std::uint32_t>(in[channel] * tap.Weight);
                }
                sum[Opaque] += static_cast<std::uint32_t>(tap.Weight);
            }
        }
    }

    const std::uint64_t total =
        static_cast<std::uint64_t>(source.Width) * static_cast<std::uint64_t>(source.Height);
    Picture result;
    result.Width = width;
    result.Height = height;
    result.Rgb.resize(targetWidth * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < targetWidth; ++x) {
            std::array<std::uint64_t, Sums> sum{};
            for (const Tap& tap : rows[static_cast<std::size_t>(y)]) {
                const std::uint32_t* in = &rowSums[(tap.Index * targetWidth + x) * Sums];
                for (std::size_t channel = 0; channel < Sums; ++channel) {
                    sum[channel] += in[channel] * tap.Weight;
                }
            }
            std::uint8_t* out = &result.Rgb[PixelOffset(result, static_cast<int>(x), y)];
            // A pixel mostly over holes is a hole; one mostly over the picture shows the
            // picture's own colours there.
            const std::uint64_t opaque = sum[Opaque];
            if (opaque * 2 < total) {
                std::fill(out, out + 3, std::uint8_t{255});
                continue;
            }
            for (std::size_t channel = 0; channel < 3; ++channel) {
                out[channel] = static_cast<std::uint8_t>((sum[channel] + opaque / 2) / opaque);
            }
            // Averaging 255,255,254 with 254,255,255 rounds to pure white, which would punch a
            // hole where the picture has none; the nearest colour that stays is 254,254,254.
            if (IsWhite(out)) {
                std::fill(out, out + 3, std::uint8_t{254});
            }
        }
    }
    return result;
}

std::vector<Rect> ColourKeyMask(const Picture& picture, Colour key, int clientWidth,
                                int clientHeight) {
    CheckPicture(picture);
    const auto isKey = [&picture, key](int x, int y) {
        const std::uint8_t* rgb = &picture.Rgb[PixelOffset(picture, x, y)];
        return rgb[0] == key.Red && rgb[1] == key.Green && rgb[2] == key.Blue;
    };
    std::vector<Rect> visible;
    const int width = std::min(clientWidth, picture.Width);
    const int height = std::min(clientHeight, picture.Height);
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            if (isKey(x, y)) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < width && !isKey(x, y)) {
                ++x;
            }
            visible.push_back({left, y, x - left, 1});
        }
    }
    return visible;
}

IconImage DecodeIcon(Bytes file) {
    if (ReadU16(file, 0, "the icon directory") != 0 || ReadU16(file, 2, "the icon type") != 1) {
        throw PictureFormatError("not a Windows icon file");
    }
    if (ReadU16(file, 4, "the image count") == 0) {
        throw PictureFormatError("the icon file holds no image");
    }
    // The first directory entry: size, colours, planes and depth, then where the image lies.
    const std::uint32_t imageSize = ReadU32(file, 6 + 8, "the image size");
    const std::uint32_t imageOffset = ReadU32(file, 6 + 12, "the image offset");
    const Bytes image = Slice(file, imageOffset, imageSize, "the icon image");
    if (image.size() >= 4 && image[0] == 0x89 && image[1] == 'P' && image[2] == 'N' &&
        image[3] == 'G') {
        throw PictureFormatError("PNG-compressed icons are not supported");
    }

    const InfoHeader header = ReadInfoHeader(image);
    const int bits = header.BitsPerPixel;
    if (bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        throw PictureFormatError(std::to_string(bits) + "-bit icons are not supported");
    }
    // The header counts the colour rows and the mask rows together.
    const std::int64_t height = header.Height / 2;
    if (header.Width <= 0 || header.Width > MaxIconSide || header.Height <= 0 ||
        header.Height % 2 != 0 || height > MaxIconSide) {
        throw PictureFormatError("icon size " + std::to_string(header.Width) + " x " +
                                 std::to_string(header.Height) + " is out of range");
    }
    const std::uint32_t paletteCapacity = bits <= 8 ? 1u << bits : 0;
    const std::uint32_t paletteSize =
        bits <= 8 && header.ColoursUsed != 0 ? header.ColoursUsed : paletteCapacity;
    if (paletteSize > paletteCapacity) {
        throw PictureFormatError("icon palette of " + std::to_string(header.ColoursUsed) +
                                 " colours is too large");
    }
    const Bytes palette = Slice(image, header.HeaderSize, paletteSize * 4ull, "the palette");
    const std::uint64_t colourStride = RowStride(header.Width, bits);
    const std::uint64_t maskStride = RowStride(header.Width, 1);
    const auto rowCount = static_cast<std::uint64_t>(height);
    const Bytes colours = Slice(image, header.HeaderSize + palette.size(), colourStride * rowCount,
                                "the icon's colours");
    const Bytes mask = Slice(image, header.HeaderSize + palette.size() + colours.size(),
                             maskStride * rowCount, "the icon's mask");
    const auto colourRowBytes = static_cast<std::size_t>(colourStride);
    const auto maskRowBytes = static_cast<std::size_t>(maskStride);

    IconImage icon;
    icon.Width = static_cast<int>(header.Width);
    icon.Height = static_cast<int>(height);
    icon.Argb.resize(static_cast<std::size_t>(icon.Width) * static_cast<std::size_t>(icon.Height));
    bool anyAlpha = false;
    for (int y = 0; y < icon.Height; ++y) {
        // Rows are stored bottom-up.
        const std::uint8_t* in =
            &colours[static_cast<std::size_t>(icon.Height - 1 - y) * colourRowBytes];
        for (int x = 0; x < icon.Width; ++x) {
            const auto column = static_cast<std::size_t>(x);
            const std::uint8_t* bgr = nullptr;
            std::uint32_t alpha = 0;
            if (bits <= 8) {
                const auto index = static_cast<std::size_t>(
                    bits == 8 ? in[column] : (in[column / 2] >> (column % 2 == 0 ? 4 : 0)) & 0x0F);
                if (index >= paletteSize) {
                    throw PictureFormatError("icon pixel uses colour " + std::to_string(index) +
                                             " of a palette of " + std::to_string(paletteSize));
                }
                bgr = &palette[index * 4];
            } else {
                bgr = &in[column * static_cast<std::size_t>(bits / 8)];
                alpha = bits == 32 ? bgr[3] : 0;
                anyAlpha = anyAlpha || alpha != 0;
            }
            icon.Argb[static_cast<std::size_t>(y * icon.Width + x)] =
                alpha << 24 | std::uint32_t{bgr[2]} << 16 | std::uint32_t{bgr[1]} << 8 | bgr[0];
        }
    }
    // Icons without an alpha channel, and older 32-bit ones that leave the fourth byte zero,
    // are opaque wherever the mask does not cut them out.
    const bool opaqueUnlessMasked = !anyAlpha;
    for (int y = 0; y < icon.Height; ++y) {
        const std::uint8_t* maskRow =
            &mask[static_cast<std::size_t>(icon.Height - 1 - y) * maskRowBytes];
        for (int x = 0; x < icon.Width; ++x) {
            std::uint32_t& pixel = icon.Argb[static_cast<std::size_t>(y * icon.Width + x)];
            const auto column = static_cast<unsigned>(x);
            if ((maskRow[column / 8] >> (7 - column % 8)) & 1) {
                pixel &= 0x00FFFFFFu;
            } else if (opaqueUnlessMasked) {
                pixel |= 0xFF000000u;
            }
        }
    }
    return icon;
}
