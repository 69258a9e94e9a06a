#pragma once
// The settings store of the current user, over the platform's own two stores; its writes go to a
// writer of its own, which finishes a pending write when the program ends.

#include <memory>

#include "Settings.h"
#include "SettingsWriter.h"

class UserSettings {
public:
    UserSettings();
    SettingsStore& Store() { return store_; }
    // Gives a pending write its grace and ends the writer; later writes are not stored. Also
    // when the object goes.
    void FinishWriting() { store_.FinishWriting(); }

private:
    // Declared before the store, so that they go after it: the writer's thread writes through
    // them until the store's writer has finished, and a store destroyed first would leave that
    // thread calling into freed objects in the middle of the last write.
    std::unique_ptr<RegistryKeyStore> registry_;
    std::unique_ptr<ProfileStore> profile_;
    BackgroundSettingsStore store_;
};
