// The configuration directory rule: XDG_CONFIG_HOME when it is an absolute path, else
// ~/.config, and no directory at all rather than one relative to the working directory.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SettingsLocation.h"

namespace {

TEST(SettingsDirectory, FollowsXdgConfigHomeOrFallsBackToTheHomeDirectory) {
    struct Case {
        std::string XdgConfigHome;
        std::string Home;
        std::string Expected;
    };
    const std::vector<Case> cases = {
        {"/xdg", "/home/anna", "/xdg/Tembra-Lidorn"},
        {"/xdg/", "/home/anna", "/xdg/Tembra-Lidorn"},
        {"", "/home/anna", "/home/anna/.config/Tembra-Lidorn"},
        {"relative/config", "/home/anna", "/home/anna/.config/Tembra-Lidorn"},
        {"", "", ""},
        {"", "relative", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingsDirectory(c.XdgConfigHome, c.Home).lexically_normal(),
                  std::filesystem::path(c.Expected).lexically_normal())
            << "XDG_CONFIG_HOME=\"" << c.XdgConfigHome << "\" HOME=\"" << c.Home << "\"";
    }
}

}  // namespace
