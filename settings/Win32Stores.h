#pragma once
// The two stores over the system's own registry and profile functions, on Windows only: the
// per-user key Software\Tembra-Lidorn and "Quenvik.ini" named without a directory, so that the
// system puts it in the Windows directory (or the user's virtual store) as it does for the host.

#include "Settings.h"

class Win32RegistryStore : public RegistryKeyStore {
public:
    std::string ReadString(const std::string& name) override;
    void WriteStrings(const SettingValues& values) override;
};

// Reading never fails: the profile function falls back to the default on any trouble.
class Win32ProfileStore : public ProfileStore {
public:
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& defaultValue, std::size_t bufferSize) override;
    void WriteStrings(const std::string& section, const SettingValues& values) override;
};
