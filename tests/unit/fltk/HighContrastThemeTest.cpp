// The X desktop's high-contrast decision from its theme name.

#include <gtest/gtest.h>

#include "HighContrastTheme.h"

namespace {

constexpr Colour Black{0, 0, 0};
constexpr Colour White{255, 255, 255};

TEST(HighContrastThemeColours, HighContrastThemesGiveBlackAndWhiteOthersNothing) {
    struct Case {
        const char* Theme;
        bool HighContrast;
        bool Inverse;
    };
    const Case cases[] = {
        {"HighContrast", true, false},
        {"HighContrastInverse", true, true},
        {"HighContrastLargePrint", true, false},
        {"HighContrastLargePrintInverse", true, true},
        {"Adwaita", false, false},
        {"Adwaita-dark", false, false},
        {"", false, false},
        {"highcontrast", false, false},
        {"MyHighContrast", false, false},
    };
    for (const Case& c : cases) {
        const std::optional<SystemColours> colours = HighContrastThemeColours(c.Theme);
        ASSERT_EQ(colours.has_value(), c.HighContrast) << c.Theme;
        if (!colours) {
            continue;
        }
        const Colour text = c.Inverse ? White : Black;
        const Colour ground = c.Inverse ? Black : White;
        EXPECT_EQ(colours->Window, ground) << c.Theme;
        EXPECT_EQ(colours->ButtonFace, ground) << c.Theme;
        EXPECT_EQ(colours->WindowText, text) << c.Theme;
        EXPECT_EQ(colours->ButtonText, text) << c.Theme;
        // A pressed key is inverted, so the face keeps to its two colours.
        EXPECT_EQ(colours->Highlight, text) << c.Theme;
        EXPECT_EQ(colours->HighlightText, ground) << c.Theme;
    }
}

}  // namespace
