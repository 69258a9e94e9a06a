// The current user's stores on POSIX systems: the two files in the host's configuration folder.
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "FileStores.h"
#include "SettingsLocation.h"
#include "UserSettings.h"

namespace {

std::string_view Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::filesystem::path UserSettingsDirectory() {
    std::string_view home = Environment("HOME");
    if (home.empty()) {
        const passwd* user = ::getpwuid(::getuid());
        home = (user != nullptr && user->pw_dir != nullptr) ? user->pw_dir : "";
    }
    return SettingsDirectory(Environment("XDG_CONFIG_HOME"), home);
}

}  // namespace

UserSettings::UserSettings()
    : registry_(std::make_unique<RegistryFileStore>(UserSettingsDirectory() / RegistryFileName)),
      profile_(std::make_unique<ProfileFileStore>(UserSettingsDirectory() / ProfileFileName)),
      store_(*registry_, *profile_) {}
