// The artwork compiled into the program: the skin the window paints, before and after scaling,
// and the program icon.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "Picture.h"
#include "Resources.h"

namespace {

struct Colour {
    int Red = 0;
    int Green = 0;
    int Blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

Colour At(const Picture& picture, int x, int y) {
    const auto offset = static_cast<std::size_t>(y * picture.Width + x) * 3;
    return {picture.Rgb[offset], picture.Rgb[offset + 1], picture.Rgb[offset + 2]};
}

std::string Where(int x, int y) {
    return std::to_string(x) + ", " + std::to_string(y);
}

// The first white pixel, as "x, y", or empty when there is none.
std::string FirstWhitePixel(const Picture& picture) {
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            if (At(picture, x, y) == Colour{255, 255, 255}) {
                return Where(x, y);
            }
        }
    }
    return "";
}

TEST(EmbeddedSkin, IsTheCalculatorWithoutOneWhitePixel) {
    const Picture skin = DecodeBitmap(SkinBitmapFile());
    ASSERT_EQ(skin.Width, 126);
    ASSERT_EQ(skin.Height, 224);
    EXPECT_EQ(FirstWhitePixel(skin), "");
    for (int y = 40; y <= 75; ++y) {
        for (int x = 24; x <= 99; ++x) {
            ASSERT_EQ(At(skin, x, y), (Colour{178, 208, 184})) << "display at " << Where(x, y);
        }
    }
    // The body spans x 2 to 119 and y 2 to 219; the strips outside it are surround.
    for (int y = 0; y < skin.Height; ++y) {
        for (int x = 0; x < skin.Width; ++x) {
            if (x < 2 || x >= skin.Width - 6 || y < 2 || y >= skin.Height - 4) {
                const Colour c = At(skin, x, y);
                ASSERT_GE(std::min({c.Red, c.Green, c.Blue}), 230) << "surround at " << Where(x, y);
            }
        }
    }
    EXPECT_EQ(At(skin, 0, 0), (Colour{254, 254, 254}));
}

TEST(EmbeddedSkin, LabelsSitOnTheLightDisplay) {
    // The three labels draw dark text without a background of their own.
    const Picture skin = DecodeBitmap(SkinBitmapFile());
    for (const Rect& label : {Rect{14, 59, 80, 17}, Rect{14, 43, 80, 17}, Rect{94, 43, 12, 17}}) {
        for (int y = label.Top; y < label.Bottom(); ++y) {
            for (int x = label.Left; x < label.Right(); ++x) {
                ASSERT_GE(At(skin, x, y).Green, 150) << "behind a label at " << Where(x, y);
            }
        }
    }
}

TEST(EmbeddedSkin, ClearKeysAreBlue) {
    const Picture skin = DecodeBitmap(SkinBitmapFile());
    for (const Rect& key : {Rect{9, 112, 26, 21}, Rect{36, 112, 26, 21}}) {
        int blue = 0;
        for (int y = key.Top; y < key.Bottom(); ++y) {
            for (int x = key.Left; x < key.Right(); ++x) {
                const Colour c = At(skin, x, y);
                blue += c.Blue > c.Red + 60 ? 1 : 0;
            }
        }
        EXPECT_GT(blue, key.Width * key.Height / 2) << "key at " << Where(key.Left, key.Top);
    }
}

TEST(EmbeddedSkin, ColourKeyLeavesTheWholeWindowVisible) {
    const Picture skin = DecodeBitmap(SkinBitmapFile());
    for (const auto& [width, height] : {std::pair{126, 224}, {136, 242}, {252, 448}}) {
        const Picture scaled = ScalePicture(skin, width, height);
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        EXPECT_EQ(FirstWhitePixel(scaled), "") << "scaled to " << size;
        const std::vector<Rect> mask = ColourKeyMask(scaled, {255, 255, 255}, width, height);
        ASSERT_EQ(mask.size(), static_cast<std::size_t>(height)) << size;
        for (int y = 0; y < height; ++y) {
            EXPECT_EQ(mask[static_cast<std::size_t>(y)], (Rect{0, y, width, 1}))
                << size << " row " << y;
        }
    }
}

TEST(EmbeddedIcon, IsACalculatorWithTransparentCorners) {
    const IconImage icon = DecodeIcon(ProgramIconFile());
    ASSERT_EQ(icon.Width, 32);
    ASSERT_EQ(icon.Height, 32);
    const auto alpha = [&](int x, int y) {
        return icon.Argb[static_cast<std::size_t>(y * 32 + x)] >> 24;
    };
    for (const auto& [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}}) {
        EXPECT_EQ(alpha(x, y), 0u) << "corner " << Where(x, y);
    }
    EXPECT_EQ(alpha(16, 16), 255u) << "centre";
}

}  // namespace
