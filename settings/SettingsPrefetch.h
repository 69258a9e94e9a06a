#pragma once
// Settings read ahead on a thread of their own, from before the window is built, so that the
// window finds them read when it is shown. Only a legacy file too large to read quickly makes
// the window go on without them; it then takes them once they have arrived.

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Settings.h"

class SettingsPrefetch {
public:
    // Starts reading at once.
    SettingsPrefetch(SettingsStore& store, std::vector<std::string> names);
    // Waits for the read to end: a read under way cannot be called off.
    ~SettingsPrefetch();
    SettingsPrefetch(const SettingsPrefetch&) = delete;
    SettingsPrefetch& operator=(const SettingsPrefetch&) = delete;

    // The values, waiting for them unless the read goes through a legacy file that does not read
    // quickly; nullopt while such a read lasts.
    std::optional<std::vector<StoredSetting>> Values();
    // The values if they have arrived, without waiting.
    std::optional<std::vector<StoredSetting>> ArrivedValues();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool longRead_ = false;
    std::optional<std::vector<StoredSetting>> values_;
    std::thread thread_;
};
