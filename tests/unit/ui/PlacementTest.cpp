// The stored coordinates' integer text and the show-time placement: the pull-back from beyond the
// desktop, the fallback, and the fallback for a window that no monitor would show.

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "Placement.h"

namespace {

using namespace std::string_literals;

TEST(TextToInteger, AcceptsSignedDecimalAndPrefixedHexadecimalOnly) {
    constexpr std::int32_t max = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t min = std::numeric_limits<std::int32_t>::min();
    const std::vector<std::pair<std::string, std::optional<std::int32_t>>> cases = {
        {"0", 0},
        {"741", 741},
        {"-50", -50},
        {"+5", 5},
        {"   12", 12},
        {"007", 7},
        {"-0", 0},
        {"2147483647", max},
        {"-2147483648", min},
        {"0000000000002147483647", max},
        {"$1F", 31},
        {"x1f", 31},
        {"X10", 16},
        {"0x10", 16},
        {"0X10", 16},
        {"  $a", 10},
        {"$7FFFFFFF", max},
        {"$80000000", min},
        {"$FFFFFFFF", -1},
        {"0xfffffff6", -10},
        {"$000000001", 1},
        {"x0000000000ff", 255},
        // Out of range.
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$100000000", std::nullopt},
        {"0x1FFFFFFFF", std::nullopt},
        // Not an integer text.
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"x", std::nullopt},
        {"0x", std::nullopt},
        {"12 ", std::nullopt},
        {" 12x", std::nullopt},
        {"\t12", std::nullopt},
        {"-$10", std::nullopt},
        {"+0x10", std::nullopt},
        {"0x-1", std::nullopt},
        {"$ 1", std::nullopt},
        {"1e3", std::nullopt},
        {"12.0", std::nullopt},
        {"00x10", std::nullopt},
        {"--1", std::nullopt},
        {"$g", std::nullopt},
        {"1\0"s, std::nullopt},
        {"\xef\xbc\x91", std::nullopt},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(TextToInteger(text), expected) << "text \"" << text << "\"";
    }
}

struct PlacementCase {
    std::string Left;
    std::string Top;
    ScreenLayout Screens;
    Point Expected;
    std::vector<std::string> ExpectedReads;
};

TEST(PlaceWindow, AppliesTheStoredPositionPulledBackFromBeyondTheDesktop) {
    const Rect primary{0, 0, 1920, 1080};
    const ScreenLayout alone{primary, {primary}, primary};
    const ScreenLayout unlisted{primary, {}, primary};
    const Point fallback{1920 - 126, 100};
    const std::vector<std::string> both = {"CalcLeft", "CalcTop"};
    const std::vector<std::string> leftOnly = {"CalcLeft"};
    const std::vector<PlacementCase> cases = {
        // Invalid or missing values: fallback, and CalcTop is not read after CalcLeft fails.
        {"", "", alone, fallback, leftOnly},
        {"abc", "50", alone, fallback, leftOnly},
        {"300", "", alone, fallback, both},
        {"300", "1 0", alone, fallback, both},
        // As stored, including partly off screen.
        {"741", "200", alone, {741, 200}, both},
        {"-50", "200", alone, {-50, 200}, both},
        {"1850", "1000", alone, {1850, 1000}, both},
        {"1919", "-223", alone, {1919, -223}, both},
        {"$FFFFFFFF", "$0", alone, {-1, 0}, both},
        // Beyond the right or bottom edge: pulled back, the other coordinate kept.
        {"3000", "200", alone, {1794, 200}, both},
        {"300", "5000", alone, {300, 856}, both},
        {"3000", "5000", alone, {1794, 856}, both},
        // Overlapping no monitor at all: fallback.
        {"-3000", "200", alone, fallback, both},
        {"-1000", "100", alone, fallback, both},
        {"300", "-500", alone, fallback, both},
        {"1920", "200", alone, fallback, both},
        {"300", "1080", alone, fallback, both},
        // Without a list of monitors the primary screen stands for it.
        {"741", "200", unlisted, {741, 200}, both},
        {"-3000", "200", unlisted, fallback, both},
    };
    for (const PlacementCase& c : cases) {
        std::vector<std::string> reads;
        const auto readSetting = [&](const std::string& name) {
            reads.push_back(name);
            return name == "CalcLeft" ? c.Left : c.Top;
        };
        const Point placed = PlaceWindow(readSetting, c.Screens, 126, 224);
        const std::string situation = "CalcLeft \"" + c.Left + "\", CalcTop \"" + c.Top + "\" on " +
                                      std::to_string(c.Screens.Monitors.size()) + " monitors";
        EXPECT_EQ(placed, c.Expected) << situation << ": placed at " << placed.X << "," << placed.Y;
        EXPECT_EQ(reads, c.ExpectedReads) << situation;
    }
}

struct LayoutCase {
    std::string Left;
    std::string Top;
    ScreenLayout Screens;
    Point Expected;
};

// Places a 126 x 224 window from each case's stored position on its screens.
void ExpectPlacements(const std::vector<LayoutCase>& cases) {
    for (const LayoutCase& c : cases) {
        const auto readSetting = [&](const std::string& name) {
            return name == "CalcLeft" ? c.Left : c.Top;
        };
        const Rect& primary = c.Screens.Primary;
        const Rect& desktop = c.Screens.Desktop;
        EXPECT_EQ(PlaceWindow(readSetting, c.Screens, 126, 224), c.Expected)
            << "CalcLeft \"" << c.Left << "\", CalcTop \"" << c.Top << "\", primary screen at "
            << primary.Left << "," << primary.Top << ", desktop " << desktop.Left << ","
            << desktop.Top << " " << desktop.Width << " x " << desktop.Height;
    }
}

TEST(PlaceWindow, AWindowLeftOnAnyMonitorComesBackThere) {
    const Rect primary{0, 0, 1920, 1080};
    const Rect right{1920, 0, 1920, 1080};
    const Rect below{0, 1080, 1920, 1080};
    const Rect left{-1280, 0, 1280, 1024};
    const Rect above{0, -1080, 1920, 1080};
    // A smaller monitor to the right leaves a corner of the desktop that no monitor shows.
    const Rect smallRight{1920, 0, 1280, 1024};
    const ScreenLayout withRight{primary, {primary, right}, {0, 0, 3840, 1080}};
    const ScreenLayout withBelow{primary, {primary, below}, {0, 0, 1920, 2160}};
    const ScreenLayout withLeft{primary, {left, primary}, {-1280, 0, 3200, 1080}};
    const ScreenLayout withAbove{primary, {above, primary}, {0, -1080, 1920, 2160}};
    const ScreenLayout withSmallRight{primary, {primary, smallRight}, {0, 0, 3200, 1080}};
    const Point fallback{1794, 100};
    const std::vector<LayoutCase> cases = {
        // On the second monitor: as stored, partly beyond its edge too.
        {"2500", "100", withRight, {2500, 100}},
        {"3800", "900", withRight, {3800, 900}},
        {"300", "1500", withBelow, {300, 1500}},
        {"-1000", "100", withLeft, {-1000, 100}},
        {"100", "-500", withAbove, {100, -500}},
        // Beyond the desktop's right or bottom edge: pulled back to it, onto the second monitor.
        {"5000", "100", withRight, {3714, 100}},
        {"2500", "5000", withRight, {2500, 856}},
        {"300", "5000", withBelow, {300, 1936}},
        {"5000", "5000", withBelow, {1794, 1936}},
        // A monitor to the left or above moves no edge the pull-back measures.
        {"3000", "200", withLeft, {1794, 200}},
        {"300", "5000", withAbove, {300, 856}},
        // The default place stays on the primary screen.
        {"", "", withRight, fallback},
        {"", "", withLeft, fallback},
        // Where no monitor would show the window: the default place.
        {"2500", "1050", withSmallRight, fallback},
        {"-1280", "1024", withLeft, fallback},
        {"3840", "100", withRight, fallback},
    };
    ExpectPlacements(cases);
}

TEST(PlaceWindow, MeasuresFromThePrimaryScreensOwnEdgesWhereverItLies) {
    // An X server may place the primary screen right of or below another monitor.
    const Rect secondary{0, 0, 1920, 1080};
    const Rect primaryRight{1920, 0, 1920, 1080};
    const Rect primaryBelow{0, 1080, 1920, 1080};
    const Rect smallAbove{0, 0, 1024, 768};
    const Rect sideBySide{0, 0, 3840, 1080};
    const Rect stacked{0, 0, 1920, 2160};
    const std::vector<LayoutCase> cases = {
        {"3000", "200", {primaryRight, {secondary, primaryRight}, sideBySide}, {3000, 200}},
        {"500", "200", {primaryRight, {secondary, primaryRight}, sideBySide}, {500, 200}},
        {"4000", "200", {primaryRight, {secondary, primaryRight}, sideBySide}, {3714, 200}},
        {"", "", {primaryRight, {secondary, primaryRight}, sideBySide}, {3714, 100}},
        {"", "", {primaryBelow, {smallAbove, primaryBelow}, stacked}, {1794, 1180}},
        {"100", "3000", {primaryBelow, {smallAbove, primaryBelow}, stacked}, {100, 1936}},
        {"1500", "200", {primaryBelow, {smallAbove, primaryBelow}, stacked}, {1794, 1180}},
    };
    ExpectPlacements(cases);
}

}  // namespace
