// The form font: the desktop's resolution alone gives the scale, and the size search finds the
// face size whose cell is nearest the design's, whatever the face's proportions.

#include <gtest/gtest.h>

#include <cmath>

#include "FontFit.h"
#include "Form.h"
#include "FormFont.h"

TEST(FormFont, TheScaleIsTheDesktopResolutionOverNinetySix) {
    struct Case {
        double DotsPerInch;
        int Width;  // of the 126-pixel design
    };
    const Case cases[] = {{96.0, 126},  {120.0, 158}, {144.0, 189}, {168.0, 221},
                          {192.0, 252}, {72.0, 95},   {100.04, 131}};
    for (const Case& c : cases) {
        const ScaleFactor scale = DesktopScale(c.DotsPerInch);
        EXPECT_EQ(RoundedMulDiv(126, scale.Numerator, scale.Denominator), c.Width)
            << c.DotsPerInch << " dpi";
    }
    EXPECT_EQ(DesktopScale(192.0), (ScaleFactor{2, 1}));
}

TEST(FormFont, TheSizeIsTheOneWhoseCellIsNearest) {
    // Faces whose cell is a fixed multiple of the size, rounded up as font metrics are.
    const auto face = [](double ratio) {
        return [ratio](int size) { return static_cast<int>(std::ceil(size * ratio)); };
    };
    struct Case {
        const char* Face;
        double Ratio;
        double Cell;
        int Size;
    };
    const Case cases[] = {
        {"DejaVu-like", 1.164, 13.0, 11}, {"DejaVu-like", 1.164, 26.0, 22},
        {"Noto-like", 1.362, 13.0, 9},    {"Noto-like", 1.362, 19.5, 14},
        {"Nimbus-like", 1.15, 13.0, 11},  {"Nimbus-like", 1.15, 26.0, 22},
        {"tall", 2.0, 13.0, 6},           {"tall", 2.0, 12.0, 6},
        {"exact", 1.0, 16.25, 16},        {"exact", 1.0, 16.5, 16},
        {"exact", 1.0, 1.0, 1},           {"exact", 1.0, 0.2, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FontSizeForCell(c.Cell, face(c.Ratio)), c.Size)
            << c.Face << " face, cell " << c.Cell;
    }
}
