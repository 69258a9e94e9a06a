// Smooth scaling by area averaging, the rules that scaling never creates pure white and never
// blends the picture with the white of its holes, and the colour-key mask that turns a picture
// into the window's visible runs.

#include <gtest/gtest.h>

#include <string>

#include "Picture.h"

namespace {

std::string SizeText(int width, int height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

TEST(ScalePicture, AveragesTheCoveredArea) {
    struct Case {
        int SourceWidth;
        int SourceHeight;
        std::vector<std::uint8_t> SourceRgb;
        int Width;
        int Height;
        std::vector<std::uint8_t> Expected;
    };
    const Case cases[] = {
        // Same size: the identical picture.
        {2, 1, {1, 2, 3, 4, 5, 6}, 2, 1, {1, 2, 3, 4, 5, 6}},
        // Halving: the mean of both pixels.
        {2, 1, {10, 20, 30, 30, 40, 50}, 1, 1, {20, 30, 40}},
        // Doubling: every pixel covers exactly four target pixels.
        {2, 1, {10, 20, 30, 30, 40, 50}, 4, 2, {10, 20, 30, 10, 20, 30, 30, 40, 50, 30, 40, 50,
                                                10, 20, 30, 10, 20, 30, 30, 40, 50, 30, 40, 50}},
        // Three to two: each target pixel takes one and a half source pixels.
        {3, 1, {0, 0, 0, 90, 90, 90, 180, 180, 180}, 2, 1, {30, 30, 30, 150, 150, 150}},
        // Vertically as well: two rows into one.
        {1, 2, {0, 100, 200, 100, 200, 0}, 1, 1, {50, 150, 100}},
    };
    for (const Case& c : cases) {
        const Picture scaled =
            ScalePicture({c.SourceWidth, c.SourceHeight, c.SourceRgb}, c.Width, c.Height);
        const std::string name =
            SizeText(c.SourceWidth, c.SourceHeight) + " to " + SizeText(c.Width, c.Height);
        EXPECT_EQ(scaled.Width, c.Width) << name;
        EXPECT_EQ(scaled.Height, c.Height) << name;
        EXPECT_EQ(scaled.Rgb, c.Expected) << name;
    }
}

TEST(ScalePicture, NeverTurnsNearWhiteIntoWhite) {
    // 255,255,254 beside 254,255,255 averages to 254.5,255,254.5, which rounds to pure white.
    const Picture nearWhite{2, 1, {255, 255, 254, 254, 255, 255}};
    EXPECT_EQ(ScalePicture(nearWhite, 1, 1).Rgb, (std::vector<std::uint8_t>{254, 254, 254}));
    // Where the source is white on purpose, it stays white.
    const Picture white{2, 1, {255, 255, 255, 255, 255, 255}};
    EXPECT_EQ(ScalePicture(white, 1, 1).Rgb, (std::vector<std::uint8_t>{255, 255, 255}));
}

TEST(ScalePicture, HolesStayHolesAndTheEdgeBesideThemKeepsItsColour) {
    constexpr std::uint8_t W = 255;
    const struct {
        int SourceWidth;
        std::vector<std::uint8_t> SourceRgb;
        int Width;
        std::vector<std::uint8_t> Expected;
    } cases[] = {
        // Mostly hole: a hole; half or more picture: the picture's colour, unmixed with white.
        {3, {W, W, W, W, W, W, 40, 60, 80}, 1, {W, W, W}},
        {2, {W, W, W, 40, 60, 80}, 1, {40, 60, 80}},
        {3, {W, W, W, 40, 60, 80, 80, 100, 120}, 1, {60, 80, 100}},
        // Growing keeps the edge sharp.
        {2, {W, W, W, 40, 60, 80}, 4, {W, W, W, W, W, W, 40, 60, 80, 40, 60, 80}},
        // Three to two: the first target pixel lies two thirds over the hole.
        {3, {W, W, W, 90, 90, 90, 180, 180, 180}, 2, {W, W, W, 150, 150, 150}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ScalePicture({c.SourceWidth, 1, c.SourceRgb}, c.Width, 1).Rgb, c.Expected)
            << SizeText(c.SourceWidth, 1) << " to " << SizeText(c.Width, 1);
    }
}

TEST(ScalePicture, RefusesSizesItCannotScale) {
    const Picture picture{1, 1, {1, 2, 3}};
    EXPECT_THROW(ScalePicture(picture, 0, 1), std::invalid_argument) << "to 0 x 1";
    EXPECT_THROW(ScalePicture(picture, 1, -1), std::invalid_argument) << "to 1 x -1";
    EXPECT_THROW(ScalePicture(Picture{}, 1, 1), std::invalid_argument) << "empty source";
    // The widest a decoded bitmap may be scales without its sums overflowing; wider is refused.
    for (const int width : {16384, 16385}) {
        Picture wide{width, 1, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * 3, 254)};
        for (std::size_t x = 0; x < wide.Rgb.size(); x += 3) {
            wide.Rgb[x] = 255;
        }
        if (width == 16384) {
            EXPECT_EQ(ScalePicture(wide, 1, 1).Rgb, (std::vector<std::uint8_t>{255, 254, 254}));
        } else {
            EXPECT_THROW(ScalePicture(wide, 1, 1), std::invalid_argument) << "16385 wide";
        }
    }
    EXPECT_THROW(ScalePicture(Picture{2, 2, {1, 2, 3}}, 1, 1), std::invalid_argument)
        << "2 x 2 source holding one pixel";
}

TEST(ColourKeyMask, KeepsTheRunsThatAreNotWhite) {
    constexpr std::uint8_t W = 255, D = 40;
    // Row 0: dark, white, dark, dark; row 1: all white; row 2: dark, dark, dark, white.
    const Picture picture{4, 3, {D, D, D, W, W, W, D, D, D, D, D, D, W, W, W, W, W, W,
                                 W, W, W, W, W, W, D, D, D, D, D, D, D, D, D, W, W, W}};
    struct Case {
        int ClientWidth;
        int ClientHeight;
        std::vector<Rect> Expected;
    };
    const Case cases[] = {
        {4, 3, {{0, 0, 1, 1}, {2, 0, 2, 1}, {0, 2, 3, 1}}},
        // A larger client area shows the white form colour beside the picture: transparent.
        {9, 5, {{0, 0, 1, 1}, {2, 0, 2, 1}, {0, 2, 3, 1}}},
        // A smaller one clips the runs.
        {3, 1, {{0, 0, 1, 1}, {2, 0, 1, 1}}},
        {0, 0, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColourKeyMask(picture, {255, 255, 255}, c.ClientWidth, c.ClientHeight),
                  c.Expected)
            << "client " << SizeText(c.ClientWidth, c.ClientHeight);
    }
}

}  // namespace
