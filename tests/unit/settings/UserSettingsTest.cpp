// The current user's store on POSIX systems: both files in the host's folder under
// XDG_CONFIG_HOME, or under ~/.config when that is not an absolute path.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>

#include "SettingsTestSupport.h"
#include "UserSettings.h"

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = getenv(name)) {
            old_ = old;
        }
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(UserSettings, KeepsBothFilesInTheHostsFolder) {
    struct Case {
        std::string XdgConfigHome;
        std::string Folder;  // relative to the scratch directory, which is also HOME
    };
    for (const Case& c :
         {Case{"<scratch>/xdg", "xdg/Tembra-Lidorn"}, Case{"", ".config/Tembra-Lidorn"},
          Case{"relative", ".config/Tembra-Lidorn"}}) {
        ScratchDirectory scratch;
        const std::string xdg =
            c.XdgConfigHome.starts_with("<scratch>") ? (scratch / "xdg").string() : c.XdgConfigHome;
        ScopedEnvironment home("HOME", scratch.Path().string());
        ScopedEnvironment configHome("XDG_CONFIG_HOME", xdg);
        {
            // Gone at exit, its writer has finished the write.
            UserSettings settings;
            settings.Store().WriteSettings({{"CalcLeft", "741"}});
        }
        EXPECT_EQ(ReadBytes(scratch / c.Folder / "Quenvik.ini"),
                  "[Einstellungen]\r\nCalcLeft=741\r\n")
            << "XDG_CONFIG_HOME=\"" << c.XdgConfigHome << "\"";
        EXPECT_TRUE(std::filesystem::exists(scratch / c.Folder / "registry.reg"))
            << "XDG_CONFIG_HOME=\"" << c.XdgConfigHome << "\"";
        EXPECT_EQ(UserSettings().Store().ReadSetting("CalcLeft"), "741")
            << "XDG_CONFIG_HOME=\"" << c.XdgConfigHome << "\"";
    }
}

}  // namespace
