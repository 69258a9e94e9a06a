// The window's place when the screens change under it: a rescaled window keeps the corner by the
// edges it stands at, and a window a monitor took with it comes back wholly onto another.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ScreenFit.h"

namespace {

const std::vector<Rect> SideBySide{{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}};

}  // namespace

TEST(ResizedPlace, KeepsTheCornerNearestItsMonitorsEdges) {
    struct Case {
        std::string Description;
        Rect Before;
        Point Expected;
    };
    // From 126 x 224 to 252 x 448.
    const Case cases[] = {
        {"flush right at the default place", {1794, 100, 126, 224}, {1668, 100}},
        {"near the top left", {40, 30, 126, 224}, {40, 30}},
        {"near the bottom right", {1700, 800, 126, 224}, {1574, 576}},
        {"on the right monitor, near its left", {1930, 100, 126, 224}, {1930, 100}},
        {"on the right monitor, flush right", {3714, 100, 126, 224}, {3588, 100}},
        // Across the monitors' border the left one holds most; its right edge is near.
        {"across the border", {1850, 100, 126, 224}, {1724, 100}},
        {"low on the monitor", {10, 700, 126, 224}, {10, 476}},
        // Already partly below the screen: it grows upwards and is pulled wholly onto it.
        {"partly below the monitor", {10, 1000, 126, 224}, {10, 632}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResizedPlace(c.Before, 252, 448, SideBySide), c.Expected) << c.Description;
    }
    EXPECT_EQ(ResizedPlace({1668, 100, 252, 448}, 126, 224, SideBySide), (Point{1794, 100}))
        << "shrinking back returns to where it started";
    EXPECT_EQ(ResizedPlace({5, 5, 126, 224}, 252, 448, {}), (Point{5, 5})) << "no monitors";
}

TEST(BackOnScreen, MovesAWindowNotWhollyOnTheMonitorsOntoTheNearest) {
    struct Case {
        std::string Description;
        Rect Window;
        std::vector<Rect> Monitors;
        std::optional<Point> Expected;
    };
    const std::vector<Rect> left{{0, 0, 1920, 1080}};
    const std::vector<Rect> stacked{{0, 0, 1920, 1080}, {0, 1080, 1280, 1024}};
    const Case cases[] = {
        {"wholly on its monitor", {100, 100, 126, 224}, left, std::nullopt},
        {"across two monitors that meet", {1850, 100, 126, 224}, SideBySide, std::nullopt},
        {"its monitor went", {2500, 300, 126, 224}, left, Point{1794, 300}},
        {"partly off the remaining one", {1902, 300, 126, 224}, left, Point{1794, 300}},
        {"above the desktop", {100, -50, 126, 224}, left, Point{100, 0}},
        // Right of the narrower lower monitor: it is nearer than the upper one.
        {"in the gap beside a narrower monitor",
         {1500, 1500, 126, 224},
         stacked,
         Point{1154, 1500}},
        {"no monitors known", {100, 100, 126, 224}, {}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BackOnScreen(c.Window, c.Monitors), c.Expected) << c.Description;
    }
}
