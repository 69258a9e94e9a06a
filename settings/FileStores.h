#pragma once
// The two stores as files, for systems without the registry and the profile functions: the key
// in registry export format and the legacy initialisation file, each read once on every call and
// replaced atomically, in one edit, on every write that changes it. No file stays open between
// calls.

#include <filesystem>

#include "Settings.h"

class RegistryFileStore : public RegistryKeyStore {
public:
    explicit RegistryFileStore(std::filesystem::path file);
    std::string ReadString(const std::string& name) override;
    std::vector<std::string> ReadStrings(const std::vector<std::string>& names) override;
    void WriteStrings(const SettingValues& values) override;

private:
    std::filesystem::path file_;
};

class ProfileFileStore : public ProfileStore {
public:
    explicit ProfileFileStore(std::filesystem::path file);
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& defaultValue, std::size_t bufferSize) override;
    std::vector<std::string> ReadStrings(const std::string& section,
                                         const std::vector<std::string>& names,
                                         const std::string& defaultValue,
                                         std::size_t bufferSize) override;
    bool ReadsQuickly() override;
    void WriteStrings(const std::string& section, const SettingValues& values) override;

private:
    std::filesystem::path file_;
};
