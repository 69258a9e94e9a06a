// The stored coordinates' integer text and the show-time placement: the pull-back from beyond the
// primary screen, the fallback, and the fallback for a window that no monitor would show.

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
    std::vector<Rect> Monitors;
    Point Expected;
    std::vector<std::string> ExpectedReads;
};

TEST(PlaceWindow, AppliesTheStoredPositionPulledBackFromBeyondThePrimaryScreen) {
    const Rect primary{0, 0, 1920, 1080};
    const Rect leftOfPrimary{-1280, 0, 1280, 1024};
    const Rect abovePrimary{0, -1080, 1920, 1080};
    const Rect rightOfPrimary{1920, 0, 1920, 1080};
    const Point fallback{1920 - 126, 100};
    const std::vector<std::string> both = {"CalcLeft", "CalcTop"};
    const std::vector<std::string> leftOnly = {"CalcLeft"};
    const std::vector<PlacementCase> cases = {
        // Invalid or missing values: fallback, and CalcTop is not read after CalcLeft fails.
        {"", "", {}, fallback, leftOnly},
        {"abc", "50", {}, fallback, leftOnly},
        {"300", "", {}, fallback, both},
        {"300", "1 0", {}, fallback, both},
        // As stored, including partly off screen.
        {"741", "200", {}, {741, 200}, both},
        {"-50", "200", {}, {-50, 200}, both},
        {"1850", "1000", {}, {1850, 1000}, both},
        {"1919", "-223", {primary}, {1919, -223}, both},
        {"$FFFFFFFF", "$0", {}, {-1, 0}, both},
        // Beyond the right or bottom edge: pulled back, the other coordinate kept.
        {"3000", "200", {}, {1794, 200}, both},
        {"300", "5000", {}, {300, 856}, both},
        {"3000", "5000", {}, {1794, 856}, both},
        {"2500", "100", {primary, rightOfPrimary}, {1794, 100}, both},
        // On a monitor left of or above the primary one: as stored.
        {"-1000", "100", {primary, leftOfPrimary}, {-1000, 100}, both},
        {"100", "-500", {abovePrimary, primary}, {100, -500}, both},
        // Overlapping no monitor at all: fallback.
        {"-3000", "200", {}, fallback, both},
        {"-1000", "100", {primary}, fallback, both},
        {"300", "-500", {primary}, fallback, both},
        {"1920", "200", {primary}, fallback, both},
        {"300", "1080", {primary}, fallback, both},
        {"-1280", "1024", {primary, leftOfPrimary}, fallback, both},
    };
    for (const PlacementCase& c : cases) {
        std::vector<std::string> reads;
        const auto readSetting = [&](const std::string& name) {
            reads.push_back(name);
            return name == "CalcLeft" ? c.Left : c.Top;
        };
        const Point placed = PlaceWindow(readSetting, {primary, c.Monitors}, 126, 224);
        const std::string situation = "CalcLeft \"" + c.Left + "\", CalcTop \"" + c.Top + "\" on " +
                                      std::to_string(c.Monitors.size()) + " monitors";
        EXPECT_EQ(placed, c.Expected) << situation << ": placed at " << placed.X << "," << placed.Y;
        EXPECT_EQ(reads, c.ExpectedReads) << situation;
    }
}

TEST(PlaceWindow, MeasuresFromThePrimaryScreensOwnEdgesWhereverItLies) {
    // An X server may place the primary screen right of or below another monitor.
    const Rect secondary{0, 0, 1920, 1080};
    const Rect primaryRight{1920, 0, 1920, 1080};
    const Rect primaryBelow{0, 1080, 1920, 1080};
    const Rect smallAbove{0, 0, 1024, 768};
    const struct {
        std::string Left, Top;
        ScreenLayout Screens;
        Point Expected;
    } cases[] = {
        {"3000", "200", {primaryRight, {secondary, primaryRight}}, {3000, 200}},
        {"500", "200", {primaryRight, {secondary, primaryRight}}, {500, 200}},
        {"4000", "200", {primaryRight, {secondary, primaryRight}}, {3714, 200}},
        {"", "", {primaryRight, {secondary, primaryRight}}, {3714, 100}},
        {"", "", {primaryBelow, {smallAbove, primaryBelow}}, {1794, 1180}},
        {"100", "3000", {primaryBelow, {smallAbove, primaryBelow}}, {100, 1936}},
        {"1500", "200", {primaryBelow, {smallAbove, primaryBelow}}, {1794, 1180}},
    };
    for (const auto& c : cases) {
        const auto readSetting = [&](const std::string& name) {
            return name == "CalcLeft" ? c.Left : c.Top;
        };
        EXPECT_EQ(PlaceWindow(readSetting, c.Screens, 126, 224), c.Expected)
            << "CalcLeft \"" << c.Left << "\", CalcTop \"" << c.Top << "\", primary at "
            << c.Screens.Primary.Left << "," << c.Screens.Primary.Top;
    }
}

}  // namespace
