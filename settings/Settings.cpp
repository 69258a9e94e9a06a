// ReadSetting and WriteSetting over the two stores. Every failure is swallowed here: the
// calculator must carry on whether or not its position can be remembered.
#include "Settings.h"

SettingsStore::SettingsStore(RegistryKeyStore& registry, ProfileStore& profile)
    : registry_(registry), profile_(profile) {}

std::string SettingsStore::ReadSetting(const std::string& name) {
    std::string value;
    try {
        value = registry_.ReadString(name);
    } catch (...) {
        // A value of another type counts as missing; the write below replaces it.
    }
    if (!value.empty()) {
        return value;
    }
    try {
        value = profile_.ReadString(LegacySection, name, "", LegacyBufferSize);
    } catch (...) {
        // A legacy file that could not be read is not known to be empty: writing "" would
        // overwrite what the host stored there.
        return "";
    }
    WriteSetting(name, value);
    return value;
}

void SettingsStore::WriteSetting(const std::string& name, const std::string& value) {
    try {
        registry_.WriteString(name, value);
    } catch (...) {
        // Without the registry the legacy file is the only store.
    }
    try {
        profile_.WriteString(LegacySection, name, value);
    } catch (...) {
        // A legacy file that cannot be written is ignored.
    }
}
