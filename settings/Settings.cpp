// ReadSetting and WriteSettings over the two stores. Every failure is swallowed here: the
// calculator must carry on whether or not its position can be remembered.
#include "Settings.h"

SettingsStore::SettingsStore(RegistryKeyStore& registry, ProfileStore& profile)
    : registry_(registry), profile_(profile) {}

std::string SettingsStore::ReadSetting(const std::string& name) {
    std::string value;
    try {
        value = registry_.ReadString(name);
    } catch (const StoreBusy&) {
        // The host is rewriting the key: what it holds is unknown, and copying the legacy
        // text over it would erase the stored position.
        return "";
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
    WriteSettings({{name, value}});
    return value;
}

void SettingsStore::WriteSettings(const SettingValues& values) {
    TryWriteSettings(values);
}

SettingsStore::WriteOutcome SettingsStore::TryWriteSettings(const SettingValues& values) {
    WriteOutcome outcome = WriteOutcome::Done;
    try {
        registry_.WriteStrings(values);
    } catch (const StoreBusy&) {
        outcome = WriteOutcome::Busy;
    } catch (...) {
        // Without the registry the legacy file is the only store.
    }
    try {
        profile_.WriteStrings(LegacySection, values);
    } catch (const StoreBusy&) {
        outcome = WriteOutcome::Busy;
    } catch (...) {
        // A legacy file that cannot be written is ignored.
    }
    return outcome;
}
