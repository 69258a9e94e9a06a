// ReadSetting and WriteSettings over the two stores. Every failure is swallowed here: the
// calculator must carry on whether or not its position can be remembered.
#include "Settings.h"

#include <algorithm>
#include <iterator>

SettingsStore::SettingsStore(RegistryKeyStore& registry, ProfileStore& profile)
    : registry_(registry), profile_(profile) {}

std::vector<std::string> RegistryKeyStore::ReadStrings(const std::vector<std::string>& names) {
    std::vector<std::string> texts;
    for (const std::string& name : names) {
        try {
            texts.push_back(ReadString(name));
        } catch (const StoreBusy&) {
            throw;
        } catch (...) {
            texts.emplace_back();
        }
    }
    return texts;
}

std::vector<std::string> ProfileStore::ReadStrings(const std::string& section,
                                                   const std::vector<std::string>& names,
                                                   const std::string& defaultValue,
                                                   std::size_t bufferSize) {
    std::vector<std::string> texts;
    for (const std::string& name : names) {
        texts.push_back(ReadString(section, name, defaultValue, bufferSize));
    }
    return texts;
}

std::string SettingsStore::ReadSetting(const std::string& name) {
    return TakeSetting(ReadSettings({name}).front());
}

std::vector<StoredSetting> SettingsStore::ReadSettings(
    const std::vector<std::string>& names, const std::function<void()>& beforeLongRead) {
    std::vector<StoredSetting> settings;
    for (const std::string& name : names) {
        settings.push_back({name, "", false});
    }
    std::vector<std::string> texts;
    try {
        texts = registry_.ReadStrings(names);
    } catch (const StoreBusy&) {
        // The host is rewriting the key: what it holds is unknown, and copying the legacy
        // text over it would erase the stored position.
        return settings;
    } catch (...) {
        // Without the registry every value comes from the legacy file.
        texts.assign(names.size(), "");
    }
    std::vector<std::string> missing;
    for (std::size_t i = 0; i < names.size(); ++i) {
        settings[i].Text = texts[i];
        if (texts[i].empty()) {
            missing.push_back(names[i]);
        }
    }
    if (missing.empty()) {
        return settings;
    }
    std::vector<std::string> legacy;
    try {
        if (beforeLongRead && !profile_.ReadsQuickly()) {
            beforeLongRead();
        }
        legacy = profile_.ReadStrings(LegacySection, missing, "", LegacyBufferSize);
    } catch (...) {
        // A legacy file that could not be read is not known to be empty: writing "" would
        // overwrite what the host stored there.
        return settings;
    }
    auto text = legacy.begin();
    for (StoredSetting& setting : settings) {
        if (setting.Text.empty()) {
            setting.Text = *text++;
            setting.FromLegacyFile = true;
        }
    }
    return settings;
}

std::string SettingsStore::TakeSetting(const StoredSetting& setting) {
    if (!setting.FromLegacyFile) {
        return setting.Text;
    }
    const SettingValues copy{{setting.Name, setting.Text}};
    // A text that is there and was not cut is what the legacy file holds: writing it again
    // would only read the whole file once more to find nothing to change.
    if (!setting.Text.empty() && setting.Text.size() < LegacyBufferSize - 1) {
        {
            const std::lock_guard<std::mutex> guard(mutex_);
            legacyHolds_.push_back(copy.front());
        }
        HandOver(copy);
    } else {
        WriteSettings(copy);
    }
    return setting.Text;
}

void SettingsStore::WriteSettings(const SettingValues& values) {
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        std::erase_if(legacyHolds_, [&](const auto& held) {
            return std::any_of(values.begin(), values.end(),
                               [&](const auto& value) { return value.first == held.first; });
        });
    }
    HandOver(values);
}

void SettingsStore::HandOver(const SettingValues& values) {
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
    SettingValues legacy;
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        std::copy_if(values.begin(), values.end(), std::back_inserter(legacy),
                     [&](const auto& value) {
                         return std::find(legacyHolds_.begin(), legacyHolds_.end(), value) ==
                                legacyHolds_.end();
                     });
    }
    try {
        if (!legacy.empty()) {
            profile_.WriteStrings(LegacySection, legacy);
        }
    } catch (const StoreBusy&) {
        outcome = WriteOutcome::Busy;
    } catch (...) {
        // A legacy file that cannot be written is ignored.
    }
    return outcome;
}
