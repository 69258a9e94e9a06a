// The skin as the programs draw it for their scale: holes only around the body, a hard body
// edge, the display's flat colour under the labels, and legends of solid pixels at every factor,
// the uneven ones included.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>

#include "Picture.h"
#include "SkinDrawing.h"

namespace {

struct Colour {
    int Red = 0;
    int Green = 0;
    int Blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

constexpr Colour White{255, 255, 255};

Colour At(const Picture& picture, int x, int y) {
    const auto offset = static_cast<std::size_t>(y * picture.Width + x) * 3;
    return {picture.Rgb[offset], picture.Rgb[offset + 1], picture.Rgb[offset + 2]};
}

std::string Where(int x, int y) {
    return std::to_string(x) + ", " + std::to_string(y);
}

// The first pixel that is not white but touches a white one and is light, as "x, y", or empty:
// a body edge blended toward the white around it shows as a light frame on a dark desktop.
std::string FirstLightEdgePixel(const Picture& picture) {
    for (int y = 0; y < picture.Height; ++y) {
        for (int x = 0; x < picture.Width; ++x) {
            if (At(picture, x, y) == White) {
                continue;
            }
            bool edge = false;
            for (const auto& [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                const int nx = x + dx;
                const int ny = y + dy;
                edge = edge || nx < 0 || ny < 0 || nx >= picture.Width || ny >= picture.Height ||
                       At(picture, nx, ny) == White;
            }
            const Colour c = At(picture, x, y);
            if (edge && std::max({c.Red, c.Green, c.Blue}) >= 160) {
                return Where(x, y);
            }
        }
    }
    return "";
}

// The scales desktops offer, and the uneven ones people set from a monitor's real resolution.
constexpr ScaleFactor Factors[] = {{96, 96},  {109, 96}, {120, 96}, {140, 96},
                                   {163, 96}, {192, 96}, {240, 96}, {288, 96}};

std::string Named(ScaleFactor factor) {
    return std::to_string(factor.Numerator) + " dpi";
}

TEST(SkinDrawing, HolesSurroundTheBodyAndNoneIsInsideIt) {
    for (const ScaleFactor factor : Factors) {
        const Picture skin = DrawSkin(factor);
        const auto scaled = [&](int v) {
            return RoundedMulDiv(v, factor.Numerator, factor.Denominator);
        };
        ASSERT_EQ(skin.Width, scaled(SkinWidth)) << Named(factor);
        ASSERT_EQ(skin.Height, scaled(SkinHeight)) << Named(factor);
        for (const auto& [x, y] : {std::pair{0, 0},
                                   {skin.Width - 1, 0},
                                   {0, skin.Height - 1},
                                   {skin.Width - 1, skin.Height - 1}}) {
            EXPECT_EQ(At(skin, x, y), White) << Named(factor) << " corner " << Where(x, y);
        }
        // The body is convex: one visible run per row at most, so no hole inside it; and it
        // reaches from a pixel or two below the top to as far above the bottom.
        const std::vector<Rect> mask =
            ColourKeyMask(skin, {255, 255, 255}, skin.Width, skin.Height);
        for (std::size_t run = 1; run < mask.size(); ++run) {
            ASSERT_NE(mask[run].Top, mask[run - 1].Top)
                << Named(factor) << " row " << mask[run].Top;
        }
        EXPECT_NEAR(static_cast<double>(mask.size()), scaled(218), 1.0) << Named(factor);
        EXPECT_EQ(FirstLightEdgePixel(skin), "") << Named(factor);
        // The labels draw dark text straight on the display's flat colour.
        for (int y = scaled(40); y < scaled(76); ++y) {
            for (int x = scaled(24); x < scaled(100); ++x) {
                ASSERT_EQ(At(skin, x, y), (Colour{178, 208, 184}))
                    << Named(factor) << " display at " << Where(x, y);
            }
        }
    }
}

TEST(SkinDrawing, LegendsAreSolidPixelsAtEveryScale) {
    // On the keys only the legends are this light: any light pixel that is not exactly a
    // legend's colour is an edge blended as a resampled picture blends it.
    const Colour legends[] = {{236, 236, 232}, {244, 244, 240}, {240, 244, 250}};
    long designLegendPixels = 0;
    for (const ScaleFactor factor : Factors) {
        const Picture skin = DrawSkin(factor);
        long legendPixels = 0;
        const int keysTop = RoundedMulDiv(108, factor.Numerator, factor.Denominator);
        for (int y = keysTop; y < skin.Height; ++y) {
            for (int x = 0; x < skin.Width; ++x) {
                const Colour c = At(skin, x, y);
                if (c.Green <= 170 || c == White) {
                    continue;
                }
                ASSERT_TRUE(std::ranges::find(legends, c) != std::end(legends))
                    << Named(factor) << " blended legend edge at " << Where(x, y);
                ++legendPixels;
            }
        }
        if (factor == ScaleFactor{}) {
            designLegendPixels = legendPixels;
        }
        // Every legend drawn, grown with the square of the scale.
        const double area = static_cast<double>(factor.Numerator) * factor.Numerator /
                            (static_cast<double>(factor.Denominator) * factor.Denominator);
        EXPECT_NEAR(static_cast<double>(legendPixels) / static_cast<double>(designLegendPixels),
                    area, 0.15 * area)
            << Named(factor);
    }
}

TEST(SkinDrawing, ClearKeysAreBlue) {
    const Picture skin = DrawSkin({});
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

}  // namespace
