// The form font's sizes: the design's resolution must not scale, and FLTK draws each form height
// with the DejaVu face of the same cell.

#include <gtest/gtest.h>

#include "FormFont.h"

TEST(FormFont, ScreenResolutionGivesTheFormHeightAndItsFltkSize) {
    struct Case {
        double DotsPerInch;
        int FormHeight;
        int FltkSize;
    };
    // Xvfb reports 100 dots per inch by default; it must measure as the 96 of the design.
    const Case cases[] = {{96.0, 11, 10},  {100.04, 11, 10}, {72.0, 8, 7},
                          {120.0, 13, 12}, {144.0, 16, 15},  {192.0, 21, 19}};
    for (const Case& c : cases) {
        EXPECT_EQ(FormFontHeightAt(c.DotsPerInch), c.FormHeight) << c.DotsPerInch << " dpi";
        EXPECT_EQ(FltkFontSize(FormFontHeightAt(c.DotsPerInch)), c.FltkSize)
            << c.DotsPerInch << " dpi";
    }
}
