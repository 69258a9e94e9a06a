// The artwork compiled into the program: the program icon.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "Picture.h"
#include "Resources.h"

namespace {

std::string Where(int x, int y) {
    return std::to_string(x) + ", " + std::to_string(y);
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
