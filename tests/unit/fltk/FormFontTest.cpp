// The form font: the size search finds the face size whose digits stand nearest the design's,
// whatever the face's proportions.

#include <gtest/gtest.h>

#include <cmath>

#include "Form.h"
#include "TextFit.h"

TEST(FormFont, TheSizeIsTheOneWhoseMeasureIsNearest) {
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
        EXPECT_EQ(SizeNearest(c.Cell, face(c.Ratio)), c.Size) << c.Face << " face, cell " << c.Cell;
    }
}
