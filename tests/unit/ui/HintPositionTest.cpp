// Where a hint goes: below the pointer, and always wholly on the pointer's screen.

#include <gtest/gtest.h>

#include <string>

#include "HintPosition.h"

TEST(HintPosition, BelowThePointerAndWhollyOnItsScreen) {
    struct Case {
        std::string Description;
        Point Pointer;
        Rect Screen;
        Point Expected;
    };
    // A 150 x 20 hint.
    const Rect primary{0, 0, 1280, 1024};
    const Rect leftMonitor{-1920, 0, 1920, 1080};
    const Case cases[] = {
        {"room everywhere", {600, 400}, primary, {600, 420}},
        {"near the right edge", {1200, 400}, primary, {1130, 420}},
        {"at the bottom edge", {600, 1010}, primary, {600, 990}},
        {"bottom right corner", {1279, 1023}, primary, {1130, 1003}},
        {"on a monitor left of the primary", {-10, 500}, leftMonitor, {-150, 520}},
        {"at the left edge of that monitor", {-1920, 1075}, leftMonitor, {-1920, 1055}},
        // 984 + 20 below the pointer, 20 high: the hint's last row is the screen's last.
        {"exactly fits below", {600, 984}, primary, {600, 1004}},
        {"one row short below", {600, 985}, primary, {600, 965}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HintPosition(150, 20, c.Pointer, c.Screen), c.Expected) << c.Description;
    }
}

TEST(HintPosition, AScaledPointerPushesTheHintFurtherDown) {
    const Rect primary{0, 0, 1280, 1024};
    // At twice the scale the pointer is 40 high, the hint 40 high.
    EXPECT_EQ(HintPosition(300, 40, {600, 400}, primary, 40), (Point{600, 440}));
    EXPECT_EQ(HintPosition(300, 40, {600, 944}, primary, 40), (Point{600, 984}))
        << "exactly fits below";
    EXPECT_EQ(HintPosition(300, 40, {600, 945}, primary, 40), (Point{600, 905}))
        << "one row short below";
}

TEST(HintPosition, AHintWiderOrTallerThanTheScreenStartsAtItsTopLeft) {
    const Rect small{100, 50, 200, 30};
    EXPECT_EQ(HintPosition(400, 20, {250, 55}, small), (Point{100, 50}))
        << "wider than the screen, no room below or above";
    EXPECT_EQ(HintPosition(100, 60, {150, 60}, small), (Point{150, 50}))
        << "taller than the screen";
}
