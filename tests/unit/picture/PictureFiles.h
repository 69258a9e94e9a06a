#pragma once
// Small bitmap and icon files built in memory, so each test shows the bytes it decodes, and the
// offsets of the header fields that the malformed-file tests overwrite.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Picture.h"

using FileBytes = std::vector<std::uint8_t>;

enum class RowOrder { BottomUp, TopDown };

// An uncompressed 24-bit bitmap file of the picture, its headers filled as common writers do.
FileBytes BitmapFile(const Picture& picture, RowOrder order = RowOrder::BottomUp);

// Where a bitmap file keeps its fields.
namespace BitmapField {
constexpr std::size_t FileSize = 2;
constexpr std::size_t PixelOffset = 10;
constexpr std::size_t HeaderSize = 14;
constexpr std::size_t Width = 18;
constexpr std::size_t Height = 22;
constexpr std::size_t Planes = 26;
constexpr std::size_t BitsPerPixel = 28;
constexpr std::size_t Compression = 30;
}  // namespace BitmapField

// One image of an icon file. Pixels, top-down, are palette indices at 4 and 8 bits, 0xRRGGBB at
// 24 bits and 0xAARRGGBB at 32 bits; Masked marks the pixels the AND mask cuts out.
struct IconLayout {
    int Width = 0;
    int Height = 0;
    int BitsPerPixel = 4;
    std::vector<std::uint32_t> Palette;  // 0xRRGGBB
    std::vector<std::uint32_t> Pixels;
    std::vector<bool> Masked;
};

FileBytes IconFile(const IconLayout& layout);

// Where an icon file with one image keeps its fields; the image follows the directory.
namespace IconField {
constexpr std::size_t Type = 2;
constexpr std::size_t Count = 4;
constexpr std::size_t ImageSize = 14;
constexpr std::size_t ImageOffset = 18;
constexpr std::size_t Image = 22;
constexpr std::size_t HeaderSize = Image;
constexpr std::size_t Width = Image + 4;
constexpr std::size_t Height = Image + 8;
constexpr std::size_t BitsPerPixel = Image + 14;
constexpr std::size_t Compression = Image + 16;
constexpr std::size_t ColoursUsed = Image + 32;
}  // namespace IconField

void PutU16(FileBytes& file, std::size_t offset, std::uint16_t value);
void PutU32(FileBytes& file, std::size_t offset, std::uint32_t value);
