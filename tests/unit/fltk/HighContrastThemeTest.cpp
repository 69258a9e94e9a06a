// The X desktop's high-contrast decision from its theme name, and the signs a face without their
// glyphs draws as plain look-alikes.

#include <gtest/gtest.h>

#include <string>

#include "FltkPainter.h"
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

TEST(WithDrawableSigns, OnlySignsTheFaceLacksBecomeTheirLookAlikes) {
    const std::string minus = "\xE2\x88\x92";
    const std::string times = "\xC3\x97";
    const std::string divide = "\xC3\xB7";
    auto lacking = [](char32_t missing) {
        return [missing](char32_t character) { return character != missing; };
    };
    EXPECT_EQ(WithDrawableSigns(minus, lacking(U'\u2212')), "\xE2\x80\x93") << "an en dash";
    EXPECT_EQ(WithDrawableSigns(minus, [](char32_t c) { return c < 128; }), "-")
        << "a face without the en dash either";
    EXPECT_EQ(WithDrawableSigns(times, lacking(U'\u00D7')), "x");
    EXPECT_EQ(WithDrawableSigns(divide, lacking(U'\u00F7')), ":");
    EXPECT_EQ(WithDrawableSigns(minus + "5" + minus, lacking(U'\u2212')),
              "\xE2\x80\x93"
              "5\xE2\x80\x93");
    EXPECT_EQ(WithDrawableSigns(times + divide, lacking(U'\u00D7')), "x" + divide)
        << "a sign the face has stays";
    EXPECT_EQ(WithDrawableSigns(minus, [](char32_t) { return true; }), minus);
    int asked = 0;
    EXPECT_EQ(WithDrawableSigns("-12,5", [&](char32_t) { return ++asked, false; }), "-12,5");
    EXPECT_EQ(asked, 0) << "text without those signs asks the face nothing";
}

}  // namespace
