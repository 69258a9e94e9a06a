// The desktop's resolution from its resource string: the Xft.dpi line when there is a sound one,
// else the design's 96.

#include <gtest/gtest.h>

#include <string>

#include "DesktopResolution.h"

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
