// The Windows high-contrast decision and the system colours it takes: the setting's flag decides,
// each role reads its own system colour, and COLORREF's byte order (red lowest) is undone.

#include <gtest/gtest.h>

#include <map>

#include "SystemColours.h"

namespace {

// A scheme of distinct colours, so that a role reading another role's colour shows.
COLORREF SchemeColour(int index) {
    const std::map<int, COLORREF> scheme{
        {COLOR_WINDOW, RGB(0, 0, 0)},         {COLOR_WINDOWTEXT, RGB(255, 255, 0)},
        {COLOR_BTNFACE, RGB(10, 20, 30)},     {COLOR_BTNTEXT, RGB(0, 255, 0)},
        {COLOR_HIGHLIGHT, RGB(26, 235, 255)}, {COLOR_HIGHLIGHTTEXT, RGB(1, 2, 3)},
        {COLOR_GRAYTEXT, RGB(63, 242, 63)},   {COLOR_3DSHADOW, RGB(99, 99, 99)},
    };
    const auto found = scheme.find(index);
    return found == scheme.end() ? RGB(200, 100, 50) : found->second;
}

HIGHCONTRASTW Setting(DWORD flags) {
    HIGHCONTRASTW setting{};
    setting.cbSize = sizeof(setting);
    setting.dwFlags = flags;
    return setting;
}

TEST(HighContrastColours, TheOnFlagDecidesAndEachRoleTakesItsSystemColour) {
    for (const DWORD flags :
         {DWORD{0}, DWORD{HCF_AVAILABLE}, DWORD{HCF_HOTKEYACTIVE | HCF_AVAILABLE},
          DWORD{HCF_HOTKEYAVAILABLE | HCF_CONFIRMHOTKEY}}) {
        EXPECT_EQ(HighContrastColours(Setting(flags), SchemeColour), std::nullopt)
            << "flags " << flags << " without HCF_HIGHCONTRASTON";
    }
    for (const DWORD flags :
         {DWORD{HCF_HIGHCONTRASTON}, DWORD{HCF_HIGHCONTRASTON | HCF_AVAILABLE}}) {
        const std::optional<SystemColours> colours =
            HighContrastColours(Setting(flags), SchemeColour);
        ASSERT_TRUE(colours.has_value()) << "flags " << flags;
        EXPECT_EQ(colours->Window, (Colour{0, 0, 0}));
        EXPECT_EQ(colours->WindowText, (Colour{255, 255, 0}));
        EXPECT_EQ(colours->ButtonFace, (Colour{10, 20, 30})) << "red, green, blue in that order";
        EXPECT_EQ(colours->ButtonText, (Colour{0, 255, 0}));
        EXPECT_EQ(colours->Highlight, (Colour{26, 235, 255}));
        EXPECT_EQ(colours->HighlightText, (Colour{1, 2, 3}));
    }
}

}  // namespace
