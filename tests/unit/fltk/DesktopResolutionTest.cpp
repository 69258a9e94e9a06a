// The desktop's resolution from its settings manager and its resource string: a sound Xft/DPI
// first, then the Xft.dpi line when there is a sound one, else the design's 96; and the scale.

#include <gtest/gtest.h>

#include <string>

#include "DesktopResolution.h"
#include "Form.h"

TEST(DesktopDotsPerInch, TakesAPlausibleXftDpiAndOtherwiseTheDesign) {
    const struct {
        std::string Resources;
        double Expected;
    } cases[] = {
        // As xrdb and the desktops write it, among other resources.
        {"Xft.dpi:\t192\n", 192.0},
        {"Xcursor.size:\t24\nXft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n", 144.0},
        {"Xft.dpi: 120", 120.0},
        {"  Xft.dpi  :  96.5  \n", 96.5},
        {"Xft.dpi:\t24\n", 24.0},
        {"Xft.dpi:\t960\n", 960.0},
        // Merged resources: the later line wins.
        {"Xft.dpi:\t192\nXft.dpi:\t120\n", 120.0},
        // Not set: the design's resolution.
        {"", 96.0},
        {"\n\n", 96.0},
        {"Xcursor.size:\t24\n", 96.0},
        {"! Xft.dpi:\t192\n", 96.0},
        {"Xft.dpi192\n", 96.0},
        {"xft.dpi:\t192\n", 96.0},
        {"Xft.dpix:\t192\n", 96.0},
        {"MyXft.dpi:\t192\n", 96.0},
        {"Xft.dpi.extra:\t192\n", 96.0},
        // Set, but no resolution anyone means.
        {"Xft.dpi:\n", 96.0},
        {"Xft.dpi:\tgross\n", 96.0},
        {"Xft.dpi:\t192dpi\n", 96.0},
        {"Xft.dpi:\t144,5\n", 96.0},
        {"Xft.dpi:\t0\n", 96.0},
        {"Xft.dpi:\t-96\n", 96.0},
        {"Xft.dpi:\t23.9\n", 96.0},
        {"Xft.dpi:\t961\n", 96.0},
        {"Xft.dpi:\t1e300\n", 96.0},
        {"Xft.dpi:\tnan\n", 96.0},
        {"Xft.dpi:\tinf\n", 96.0},
        // A bad later line does not bring back an earlier good one: the resource is what it
        // says last.
        {"Xft.dpi:\t192\nXft.dpi:\tgross\n", 96.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DesktopDotsPerInch(c.Resources), c.Expected)
            << "resources \"" << c.Resources << "\"";
    }
}

TEST(DesktopDotsPerInch, AServedXftDpiComesBeforeTheResources) {
    const struct {
        std::optional<std::int32_t> Served;
        const char* Resources;
        double Expected;
    } cases[] = {
        {192 * 1024, "Xft.dpi:\t120\n", 192.0},
        {147456, "", 144.0},
        {100 * 1024 + 512, "", 100.5},
        // The manager leaves it to the toolkit, or serves nothing anyone means.
        {-1, "Xft.dpi:\t120\n", 120.0},
        {0, "Xft.dpi:\t120\n", 120.0},
        {961 * 1024, "", 96.0},
        {std::nullopt, "Xft.dpi:\t144\n", 144.0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DesktopDotsPerInch(c.Served, c.Resources), c.Expected)
            << "served " << c.Served.value_or(-2) << ", resources \"" << c.Resources << "\"";
    }
}

TEST(DesktopScale, IsTheResolutionOverNinetySix) {
    const struct {
        double DotsPerInch;
        int Width;  // of the 126-pixel design
    } cases[] = {{96.0, 126},  {120.0, 158}, {144.0, 189},  {168.0, 221},
                 {192.0, 252}, {72.0, 95},   {100.04, 131}, {143.6, 189}};
    for (const auto& c : cases) {
        const ScaleFactor scale = DesktopScale(c.DotsPerInch);
        EXPECT_EQ(RoundedMulDiv(126, scale.Numerator, scale.Denominator), c.Width)
            << c.DotsPerInch << " dpi";
    }
}
