#pragma once
// The settings store behind ReadSetting and WriteSettings: named text values kept in two places
// shared with the host application, its per-user registry key and its legacy "Quenvik.ini". The
// two places are interfaces so that each platform supplies its own; SettingsStore holds no value
// between calls, only which copies the legacy file already holds, and no failure ever leaves it.

#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "SettingValues.h"

// The per-user key Software\Tembra-Lidorn, opened and closed within each call.
class RegistryKeyStore {
public:
    virtual ~RegistryKeyStore() = default;
    // "" for a missing key or value or one of size zero; throws StoreBusy for a read that failed
    // for a passing reason, and another exception for a value of a non-string type and for any
    // other failure.
    virtual std::string ReadString(const std::string& name) = 0;
    // ReadString of each name, read together, except that a value of a non-string type reads as
    // "" rather than failing the others; throws as ReadString for the key as a whole.
    virtual std::vector<std::string> ReadStrings(const std::vector<std::string>& names);
    // Writes every value as a string, creating the key as needed; throws on failure, StoreBusy
    // when trying again later may succeed.
    virtual void WriteStrings(const SettingValues& values) = 0;
};

// The legacy file "Quenvik.ini", with the rules of the platform's profile functions.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The entry's value, else defaultValue, cut to bufferSize - 1 characters as a buffer of
    // bufferSize characters with its terminating zero would hold it. Throws as RegistryKeyStore.
    virtual std::string ReadString(const std::string& section, const std::string& name,
                                   const std::string& defaultValue, std::size_t bufferSize) = 0;
    // ReadString of each name, read together: a file is read once.
    virtual std::vector<std::string> ReadStrings(const std::string& section,
                                                 const std::vector<std::string>& names,
                                                 const std::string& defaultValue,
                                                 std::size_t bufferSize);
    // False when a read would take long enough to hold up the window: a file of many megabytes.
    virtual bool ReadsQuickly() { return true; }
    // Writes every value into the section, creating the file and the section as needed; throws
    // as RegistryKeyStore.
    virtual void WriteStrings(const std::string& section, const SettingValues& values) = 0;
};

// A value as ReadSettings finds it.
struct StoredSetting {
    std::string Name;
    std::string Text;  // ReadSetting's answer
    // Found only in the legacy file: taking it copies it into the registry, and into the legacy
    // file too unless that already holds exactly this text.
    bool FromLegacyFile = false;
};

class SettingsStore {
public:
    static constexpr const char* LegacySection = "Einstellungen";
    static constexpr std::size_t LegacyBufferSize = 300;

    enum class WriteOutcome { Done, Busy };

    SettingsStore(RegistryKeyStore& registry, ProfileStore& profile);
    virtual ~SettingsStore() = default;
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // Prefers the registry; when it holds nothing, takes the legacy file's text and writes it
    // (even when empty) into both places, so a value found only in the legacy file moves into
    // the registry on first read. Returns "" when nothing is stored, and also, without writing
    // anything, when a store could not be read for a passing reason: that is no missing value.
    std::string ReadSetting(const std::string& name);
    // ReadSetting's answers for several names, each store read once, without its copies: each
    // answer taken is given to TakeSetting, so that a name never used is not copied either.
    // Calls beforeLongRead first when it has to read a legacy file that does not read quickly.
    std::vector<StoredSetting> ReadSettings(const std::vector<std::string>& names,
                                            const std::function<void()>& beforeLongRead = {});
    // The copy ReadSetting makes of a value found only in the legacy file; the text.
    std::string TakeSetting(const StoredSetting& setting);
    // Writes the values into both places, each in one edit.
    void WriteSettings(const SettingValues& values);
    // Writes both places once, the legacy file only with what it does not already hold; a
    // failure of one does not keep the other from being written. Busy when either failed for a
    // passing reason, so that trying again may succeed.
    WriteOutcome TryWriteSettings(const SettingValues& values);

protected:
    // Has the values written: here at once; a store that keeps the window from waiting hands
    // them to a writer of its own.
    virtual void HandOver(const SettingValues& values);

private:
    RegistryKeyStore& registry_;
    ProfileStore& profile_;
    // Copies taken from the legacy file, which therefore need not be written back into it; a
    // write of the name forgets it. Shared with a writer's thread.
    std::mutex mutex_;
    SettingValues legacyHolds_;
};
