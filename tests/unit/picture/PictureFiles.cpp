// Writes the test files the way common writers do: little-endian fields, rows padded to four
// bytes, colours stored blue first.

#include "PictureFiles.h"

void PutU16(FileBytes& file, std::size_t offset, std::uint16_t value) {
    file.at(offset) = static_cast<std::uint8_t>(value);
    file.at(offset + 1) = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(FileBytes& file, std::size_t offset, std::uint32_t value) {
    PutU16(file, offset, static_cast<std::uint16_t>(value));
    PutU16(file, offset + 2, static_cast<std::uint16_t>(value >> 16));
}

namespace {

void AppendU32(FileBytes& file, std::uint32_t value) {
    file.resize(file.size() + 4);
    PutU32(file, file.size() - 4, value);
}

void AppendU16(FileBytes& file, std::uint16_t value) {
    file.resize(file.size() + 2);
    PutU16(file, file.size() - 2, value);
}

void AppendInfoHeader(FileBytes& file, int width, int height, int bits, std::uint32_t imageSize,
                      std::uint32_t coloursUsed) {
    AppendU32(file, 40);
    AppendU32(file, static_cast<std::uint32_t>(width));
    AppendU32(file, static_cast<std::uint32_t>(height));
    AppendU16(file, 1);
    AppendU16(file, static_cast<std::uint16_t>(bits));
    AppendU32(file, 0);  // uncompressed
    AppendU32(file, imageSize);
    AppendU32(file, 3780);  // 96 dots per inch
    AppendU32(file, 3780);
    AppendU32(file, coloursUsed);
    AppendU32(file, 0);
}

std::size_t Stride(int width, int bits) {
    return (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
}

}  // namespace

FileBytes BitmapFile(const Picture& picture, RowOrder order) {
    const std::size_t stride = Stride(picture.Width, 24);
    FileBytes pixels(stride * static_cast<std::size_t>(picture.Height));
    for (int y = 0; y < picture.Height; ++y) {
        const int row = order == RowOrder::BottomUp ? picture.Height - 1 - y : y;
        for (int x = 0; x < picture.Width; ++x) {
            const std::size_t in = static_cast<std::size_t>(y * picture.Width + x) * 3;
            const std::size_t out =
                static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(x) * 3;
            pixels[out] = picture.Rgb[in + 2];
            pixels[out + 1] = picture.Rgb[in + 1];
            pixels[out + 2] = picture.Rgb[in];
        }
    }
    FileBytes file{'B', 'M'};
    AppendU32(file, static_cast<std::uint32_t>(54 + pixels.size()));
    AppendU32(file, 0);
    AppendU32(file, 54);
    const int height = order == RowOrder::BottomUp ? picture.Height : -picture.Height;
    AppendInfoHeader(file, picture.Width, height, 24, static_cast<std::uint32_t>(pixels.size()), 0);
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

FileBytes IconFile(const IconLayout& layout) {
    const int bits = layout.BitsPerPixel;
    const std::size_t colourStride = Stride(layout.Width, bits);
    const std::size_t maskStride = Stride(layout.Width, 1);
    const auto height = static_cast<std::size_t>(layout.Height);
    FileBytes colours(colourStride * height);
    FileBytes mask(maskStride * height);
    for (int y = 0; y < layout.Height; ++y) {
        const auto row = static_cast<std::size_t>(layout.Height - 1 - y);
        for (int x = 0; x < layout.Width; ++x) {
            const auto pixel = static_cast<std::size_t>(y * layout.Width + x);
            const std::uint32_t value = layout.Pixels.at(pixel);
            const auto column = static_cast<std::size_t>(x);
            std::uint8_t* out = &colours[row * colourStride];
            if (bits == 4) {
                out[column / 2] |= static_cast<std::uint8_t>(value << (column % 2 == 0 ? 4 : 0));
            } else if (bits == 8) {
                out[column] = static_cast<std::uint8_t>(value);
            } else {
                for (std::size_t byte = 0; byte < static_cast<std::size_t>(bits / 8); ++byte) {
                    out[column * static_cast<std::size_t>(bits / 8) + byte] =
                        static_cast<std::uint8_t>(value >> (8 * byte));
                }
            }
            if (!layout.Masked.empty() && layout.Masked.at(pixel)) {
                mask[row * maskStride + column / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }
    FileBytes image;
    AppendInfoHeader(image, layout.Width, layout.Height * 2, bits,
                     static_cast<std::uint32_t>(colours.size() + mask.size()),
                     static_cast<std::uint32_t>(layout.Palette.size()));
    for (const std::uint32_t colour : layout.Palette) {
        AppendU32(image, colour);  // blue, green, red, reserved
    }
    image.insert(image.end(), colours.begin(), colours.end());
    image.insert(image.end(), mask.begin(), mask.end());

    FileBytes file;
    AppendU16(file, 0);
    AppendU16(file, 1);
    AppendU16(file, 1);
    file.push_back(static_cast<std::uint8_t>(layout.Width));
    file.push_back(static_cast<std::uint8_t>(layout.Height));
    file.push_back(bits <= 8 ? static_cast<std::uint8_t>(layout.Palette.size()) : 0);
    file.push_back(0);
    AppendU16(file, 1);
    AppendU16(file, static_cast<std::uint16_t>(bits));
    AppendU32(file, static_cast<std::uint32_t>(image.size()));
    AppendU32(file, static_cast<std::uint32_t>(IconField::Image));
    file.insert(file.end(), image.begin(), image.end());
    return file;
}
