// The icon's pixels as FLTK takes them, and the embedded icon decoding into a usable image.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "ProgramIcon.h"
#include "Resources.h"

TEST(RgbaPixels, ReordersEachPixelToRedGreenBlueAlpha) {
    const IconImage icon{2, 1, {0x80112233u, 0x00FFFFFFu}};
    const std::vector<std::uint8_t> expected{0x11, 0x22, 0x33, 0x80, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_EQ(RgbaPixels(icon), expected) << "pixels 0x80112233 and 0x00FFFFFF";
}

TEST(RgbaPixels, TheEmbeddedIconGivesFourBytesForEachOfItsPixels) {
    const IconImage icon = DecodeIcon(ProgramIconFile());
    ASSERT_EQ(icon.Width, 32);
    ASSERT_EQ(icon.Height, 32);
    const std::vector<std::uint8_t> rgba = RgbaPixels(icon);
    EXPECT_EQ(rgba.size(), std::size_t{32 * 32 * 4});
    bool anyOpaque = false;
    for (std::size_t alpha = 3; alpha < rgba.size(); alpha += 4) {
        anyOpaque = anyOpaque || rgba[alpha] == 0xFF;
    }
    EXPECT_TRUE(anyOpaque) << "an icon with no opaque pixel shows nothing";
}
