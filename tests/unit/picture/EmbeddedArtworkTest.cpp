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

bool IsWhite(const Picture& picture, int x, int y) {
    return At(picture, x, y) == Colour{255, 255, 255};
}

// The first pixel that is not white but touches a white one and is light, as "x, y", or empty:
// a body edge blended toward the white around it shows as a light frame on a dark desktop.
std::string FirstLightEdgePixel(const Picture& picture) {
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            if (IsWhite(picture, x, y)) {
                continue;
            }
            bool edge = false;
            for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const int nx = x + dx;
                const int ny = y + dy;
                edge = edge || nx < 0 || ny < 0 || nx >= picture.Width || ny >= picture.Height ||
                       IsWhite(picture, nx, ny);
            }
            const Colour c = At(picture, x, y);
            if (edge && std::max({c.Red, c.Green, c.Blue}) >= 160) {
                return Where(x, y);
            }
        }
    }
    return "";
}

TEST(EmbeddedSkin, IsTheCalculatorBodyWithHolesAroundIt) {
    const Picture skin = DecodeBitmap(SkinBitmapFile());
    ASSERT_EQ(skin.Width, 126);
    ASSERT_EQ(skin.Height, 224);
    for (int y = 40; y <= 75; ++y) {
        for (int x = 24; x <= 99; ++x) {
            ASSERT_EQ(At(skin, x, y), (Colour{178, 208, 184})) << "display at " << Where(x, y);
        }
    }
    // The body spans x 2 to 119 and y 2 to 219 with corners of radius 11. Around it, the
    // colour key: holes, where the old shadow lay too; inside it, not one.
    constexpr int BodyLeft = 2, BodyTop = 2, BodyRight = 119, BodyBottom = 219, Radius = 11;
    for (int y = 0; y < skin.Height; ++y) {
        for (int x = 0; x < skin.Width; ++x) {
            const bool outside = x < BodyLeft || x > BodyRight || y < BodyTop || y > BodyBottom;
            const bool cornerSquare = (x < BodyLeft + Radius || x > BodyRight - Radius) &&
                                      (y < BodyTop + Radius || y > BodyBottom - Radius);
            if (outside) {
                ASSERT_TRUE(IsWhite(skin, x, y)) << "around the body at " << Where(x, y);
            } else if (!cornerSquare) {
                ASSERT_FALSE(IsWhite(skin, x, y)) << "a hole in the body at " << Where(x, y);
            }
        }
    }
    for (const auto& [x, y] : {std::pair{BodyLeft, BodyTop},
                               {BodyRight, BodyTop},
                               {BodyLeft, BodyBottom},
                               {BodyRight, BodyBottom}}) {
        EXPECT_TRUE(IsWhite(skin, x, y)) << "rounded corner at " << Where(x, y);
    }
    EXPECT_EQ(FirstLightEdgePixel(skin), "");
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

TEST(EmbeddedSkin, ColourKeyCutsOutTheCornersAndNothingInsideAtEverySize) {
    const Picture skin = DecodeBitmap(SkinBitmapFile());
    for (const auto& [width, height] : {std::pair{126, 224}, {136, 242}, {189, 336}, {252, 448}}) {
        const Picture scaled = ScalePicture(skin, width, height);
        const std::string size = std::to_string(width) + " x " + std::to_string(height);
        for (const auto& [x, y] :
             {std::pair{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}}) {
            EXPECT_TRUE(IsWhite(scaled, x, y)) << size << " corner " << Where(x, y);
        }
        // The body is convex: one visible run per row at most, so no hole inside it.
        const std::vector<Rect> mask = ColourKeyMask(scaled, {255, 255, 255}, width, height);
        for (std::size_t run = 1; run < mask.size(); ++run) {
            EXPECT_NE(mask[run].Top, mask[run - 1].Top) << size << " row " << mask[run].Top;
        }
        ASSERT_FALSE(mask.empty()) << size;
        EXPECT_GT(mask.size(), static_cast<std::size_t>(height) * 9 / 10) << size;
        EXPECT_EQ(FirstLightEdgePixel(scaled), "") << size;
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
