// The skin files drawn for each scale, smallest first.
#include "Resources.h"

#include <array>

std::span<const std::span<const std::uint8_t>> SkinBitmapFiles() {
    static const std::array<std::span<const std::uint8_t>, 5> files{
        SkinBitmapFile(),    SkinBitmapFile125(), SkinBitmapFile150(),
        SkinBitmapFile175(), SkinBitmapFile200(),
    };
    return files;
}
