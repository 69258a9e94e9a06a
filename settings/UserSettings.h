#pragma once
// The settings store of the current user, over the platform's own two stores; its writes go to a
// writer of its own, which finishes a pending write when the object goes at exit.

#include <memory>

#include "Settings.h"
#include "SettingsWriter.h"

class UserSettings {
public:
    UserSettings();
    SettingsStore& Store() { return store_; }

private:
    std::unique_ptr<RegistryKeyStore> registry_;
    std::unique_ptr<ProfileStore> profile_;
    BackgroundSettingsStore store_;
};
