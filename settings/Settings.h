#pragma once
// The settings store behind ReadSetting and WriteSetting: named text values kept in two places
// shared with the host application, its per-user registry key and its legacy "Quenvik.ini". The
// two places are interfaces so that each platform supplies its own; SettingsStore holds nothing
// between calls and no failure ever leaves it.

#include <cstddef>
#include <string>

// The per-user key Software\Tembra-Lidorn, opened and closed within each call.
class RegistryKeyStore {
public:
    virtual ~RegistryKeyStore() = default;
    // "" for a missing key or value or one of size zero; throws for a value of a non-string
    // type and for any other failure.
    virtual std::string ReadString(const std::string& name) = 0;
    // Creates the key as needed; throws on failure.
    virtual void WriteString(const std::string& name, const std::string& value) = 0;
};

// The legacy file "Quenvik.ini", with the rules of the platform's profile functions.
class ProfileStore {
public:
    virtual ~ProfileStore() = default;
    // The entry's value, else defaultValue, cut to bufferSize - 1 characters as a buffer of
    // bufferSize characters with its terminating zero would hold it.
    virtual std::string ReadString(const std::string& section, const std::string& name,
                                   const std::string& defaultValue, std::size_t bufferSize) = 0;
    // Creates the file and the section as needed; throws on failure.
    virtual void WriteString(const std::string& section, const std::string& name,
                             const std::string& value) = 0;
};

class SettingsStore {
public:
    static constexpr const char* LegacySection = "Einstellungen";
    static constexpr std::size_t LegacyBufferSize = 300;

    SettingsStore(RegistryKeyStore& registry, ProfileStore& profile);

    // Prefers the registry; when it holds nothing, takes the legacy file's text and writes it
    // (even when empty) into both places, so a value found only in the legacy file moves into
    // the registry on first read. Returns "" when nothing is stored.
    std::string ReadSetting(const std::string& name);
    // Writes both places; a failure of one does not keep the other from being written.
    void WriteSetting(const std::string& name, const std::string& value);

private:
    RegistryKeyStore& registry_;
    ProfileStore& profile_;
};
