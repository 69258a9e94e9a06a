// The current user's stores on Windows: the host's registry key and its legacy file, through the
// system's own functions.
#include "UserSettings.h"
#include "Win32Stores.h"

UserSettings::UserSettings()
    : registry_(std::make_unique<Win32RegistryStore>()),
      profile_(std::make_unique<Win32ProfileStore>()),
      store_(*registry_, *profile_) {}
