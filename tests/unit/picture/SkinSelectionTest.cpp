// The choice among skins drawn for several scales: exact when one was drawn for the size, else
// scaled down from a larger one and never up from a smaller, and only from the embedded pictures
// the program carries.

#include <gtest/gtest.h>

#include <array>
#include <span>
#include <stdexcept>
#include <vector>

#include "PictureFiles.h"
#include "Resources.h"
#include "SkinSelection.h"

namespace {

// A picture of one grey whose level tells which drawn file it came from.
Picture Flat(int width, int height, std::uint8_t level) {
    return {width, height,
            std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * 3), level)};
}

}  // namespace

TEST(SkinForSize, TakesTheDrawnSizeElseScalesDownTheNextLarger) {
    // Listed out of order: the choice goes by size, not by place in the list.
    const std::array files{BitmapFile(Flat(20, 40, 150)), BitmapFile(Flat(10, 20, 100)),
                           BitmapFile(Flat(15, 30, 125))};
    const std::array<std::span<const std::uint8_t>, 3> spans{files[0], files[1], files[2]};
    struct Case {
        int Width, Height;
        std::uint8_t From;
    };
    const Case cases[] = {
        {10, 20, 100}, {15, 30, 125}, {20, 40, 150},  // drawn sizes
        {11, 22, 125}, {14, 29, 125}, {16, 31, 150},  // in between: the next larger
        {15, 31, 150},                                // larger in one direction only
        {5, 10, 100},                                 // below the smallest
        {30, 60, 150},                                // beyond the largest: the largest
    };
    for (const Case& c : cases) {
        const Picture chosen = SkinForSize(spans, c.Width, c.Height);
        EXPECT_EQ(chosen.Width, c.Width);
        EXPECT_EQ(chosen.Height, c.Height);
        EXPECT_EQ(chosen.Rgb.front(), c.From) << c.Width << " x " << c.Height;
    }
    EXPECT_THROW(SkinForSize({}, 10, 20), std::invalid_argument);
}

TEST(SkinForSize, TheEmbeddedSkinsAreDrawnForTheUsualScalesWithTheSameHoles) {
    // 126 x 224 at 100, 125, 150, 175 and 200 %, rounded half up as the form rounds its edges.
    const std::array<Point, 5> sizes{{{126, 224}, {158, 280}, {189, 336}, {221, 392}, {252, 448}}};
    ASSERT_EQ(SkinBitmapFiles().size(), sizes.size());
    for (const Point size : sizes) {
        const Picture drawn = SkinForSize(SkinBitmapFiles(), size.X, size.Y);
        ASSERT_EQ(drawn.Width, size.X);
        // The corners are holes and the middle is body at every scale.
        const auto white = [&](int x, int y) {
            const auto offset = static_cast<std::size_t>(y * drawn.Width + x) * 3;
            return drawn.Rgb[offset] == 255 && drawn.Rgb[offset + 1] == 255 &&
                   drawn.Rgb[offset + 2] == 255;
        };
        EXPECT_TRUE(white(0, 0) && white(size.X - 1, size.Y - 1)) << size.X;
        EXPECT_FALSE(white(size.X / 2, size.Y / 2)) << size.X;
    }
}
