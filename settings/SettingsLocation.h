#pragma once
// Where the file-backed stores live on systems without a registry: the host's folder in the
// user's configuration directory.

#include <filesystem>
#include <string_view>

inline constexpr std::string_view RegistryFileName = "registry.reg";
inline constexpr std::string_view ProfileFileName = "Quenvik.ini";

// $XDG_CONFIG_HOME/Tembra-Lidorn, where an unset, empty or relative XDG_CONFIG_HOME means
// ~/.config. An empty path when neither gives an absolute directory, so that nothing is written
// relative to wherever the program was started.
std::filesystem::path SettingsDirectory(std::string_view xdgConfigHome, std::string_view home);
