// Reading the first image of an icon file at every supported depth, with the AND mask turning
// pixels transparent, and a clear rejection of damaged or unsupported files.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PictureFiles.h"

namespace {

constexpr std::uint32_t Red = 0xC01020, Green = 0x10C020, Blue = 0x1020C0;

// Two by two: red, green / blue, red, the last pixel cut out by the mask.
IconLayout TwoByTwo(int bits) {
    IconLayout layout{.Width = 2,
                      .Height = 2,
                      .BitsPerPixel = bits,
                      .Palette = {},
                      .Pixels = {},
                      .Masked = {0, 0, 0, 1}};
    if (bits <= 8) {
        layout.Palette = {0, Red, Green, Blue};
        layout.Pixels = {1, 2, 3, 1};
    } else {
        const std::uint32_t alpha = bits == 32 ? 0x80000000 : 0;
        layout.Pixels = {Red | alpha, Green | alpha, Blue | alpha, Red | alpha};
    }
    return layout;
}

TEST(DecodeIcon, ReadsEveryDepthAndCutsOutTheMask) {
    for (const int bits : {4, 8, 24}) {
        const IconImage icon = DecodeIcon(IconFile(TwoByTwo(bits)));
        EXPECT_EQ(icon.Width, 2) << bits << " bits";
        EXPECT_EQ(icon.Height, 2) << bits << " bits";
        const std::vector<std::uint32_t> expected{0xFF000000 | Red, 0xFF000000 | Green,
                                                  0xFF000000 | Blue, Red};
        EXPECT_EQ(icon.Argb, expected) << bits << " bits";
    }
}

TEST(DecodeIcon, KeepsTheAlphaChannelOfThirtyTwoBitIcons) {
    const IconImage icon = DecodeIcon(IconFile(TwoByTwo(32)));
    const std::vector<std::uint32_t> expected{0x80000000 | Red, 0x80000000 | Green,
                                              0x80000000 | Blue, Red};
    EXPECT_EQ(icon.Argb, expected);
}

TEST(DecodeIcon, TreatsThirtyTwoBitsWithoutAlphaAsOpaqueUnderTheMask) {
    IconLayout layout = TwoByTwo(32);
    for (std::uint32_t& pixel : layout.Pixels) {
        pixel &= 0x00FFFFFF;
    }
    const std::vector<std::uint32_t> expected{0xFF000000 | Red, 0xFF000000 | Green,
                                              0xFF000000 | Blue, Red};
    EXPECT_EQ(DecodeIcon(IconFile(layout)).Argb, expected);
}

TEST(DecodeIcon, RejectsDamagedAndUnsupportedFiles) {
    struct Case {
        const char* Name;
        std::function<void(FileBytes&)> Damage;
    };
    const Case cases[] = {
        {"empty file", [](FileBytes& f) { f.clear(); }},
        {"cursor file", [](FileBytes& f) { PutU16(f, IconField::Type, 2); }},
        {"no images", [](FileBytes& f) { PutU16(f, IconField::Count, 0); }},
        {"cut inside the directory", [](FileBytes& f) { f.resize(12); }},
        {"image beyond the end",
         [](FileBytes& f) { PutU32(f, IconField::ImageOffset, 0xFFFFFF00); }},
        {"image longer than the file",
         [](FileBytes& f) { PutU32(f, IconField::ImageSize, 100000); }},
        {"mask cut off",
         [](FileBytes& f) {
             f.pop_back();
             PutU32(f, IconField::ImageSize,
                    static_cast<std::uint32_t>(f.size() - IconField::Image));
         }},
        {"PNG image",
         [](FileBytes& f) {
             const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
             std::copy(std::begin(png), std::end(png), f.begin() + IconField::Image);
         }},
        {"header smaller than 40", [](FileBytes& f) { PutU32(f, IconField::HeaderSize, 12); }},
        {"16 bits", [](FileBytes& f) { PutU16(f, IconField::BitsPerPixel, 16); }},
        {"compressed", [](FileBytes& f) { PutU32(f, IconField::Compression, 2); }},
        {"width 0", [](FileBytes& f) { PutU32(f, IconField::Width, 0); }},
        {"odd height", [](FileBytes& f) { PutU32(f, IconField::Height, 3); }},
        {"negative height", [](FileBytes& f) { PutU32(f, IconField::Height, 0xFFFFFFFC); }},
        {"absurd width", [](FileBytes& f) { PutU32(f, IconField::Width, 0x7FFFFFFF); }},
        {"palette larger than the depth allows",
         [](FileBytes& f) { PutU32(f, IconField::ColoursUsed, 17); }},
    };
    for (const Case& c : cases) {
        FileBytes file = IconFile(TwoByTwo(4));
        c.Damage(file);
        EXPECT_THROW(DecodeIcon(file), PictureFormatError) << c.Name;
    }
    IconLayout indexBeyondPalette = TwoByTwo(4);
    indexBeyondPalette.Palette.resize(3);
    EXPECT_THROW(DecodeIcon(IconFile(indexBeyondPalette)), PictureFormatError)
        << "colour 3 of a palette of 3";
}

}  // namespace
