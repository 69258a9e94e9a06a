#pragma once
// The settings store of the current user, over the platform's own two stores.

#include <memory>

#include "Settings.h"

class UserSettings {
public:
    UserSettings();
    SettingsStore& Store() { return store_; }

private:
    std::unique_ptr<RegistryKeyStore> registry_;
    std::unique_ptr<ProfileStore> profile_;
    SettingsStore store_;
};
