// The configuration directory rule of the XDG base directory convention.
#include "SettingsLocation.h"

std::filesystem::path SettingsDirectory(std::string_view xdgConfigHome, std::string_view home) {
    const std::filesystem::path configHome(xdgConfigHome);
    if (configHome.is_absolute()) {
        return configHome / "Tembra-Lidorn";
    }
    const std::filesystem::path homeDirectory(home);
    if (homeDirectory.is_absolute()) {
        return homeDirectory / ".config" / "Tembra-Lidorn";
    }
    return {};
}
