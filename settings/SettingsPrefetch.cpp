// The read-ahead thread and the window's two ways of taking its result.
#include "SettingsPrefetch.h"

#include <utility>

SettingsPrefetch::SettingsPrefetch(SettingsStore& store, std::vector<std::string> names)
    : thread_([this, &store, names = std::move(names)] {
          std::vector<StoredSetting> values = store.ReadSettings(names, [this] {
              const std::lock_guard<std::mutex> guard(mutex_);
              longRead_ = true;
              changed_.notify_all();
          });
          const std::lock_guard<std::mutex> guard(mutex_);
          values_ = std::move(values);
          changed_.notify_all();
      }) {}

SettingsPrefetch::~SettingsPrefetch() {
    thread_.join();
}

std::optional<std::vector<StoredSetting>> SettingsPrefetch::Values() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return values_ || longRead_; });
    return values_;
}

std::optional<std::vector<StoredSetting>> SettingsPrefetch::ArrivedValues() {
    const std::lock_guard<std::mutex> guard(mutex_);
    return values_;
}
