#pragma once
// The two stores over the system's own registry and profile functions, on Windows only: the
// per-user key Software\Tembra-Lidorn and "Quenvik.ini" named without a directory, so that the
// system puts it in the Windows directory (or the user's virtual store) as it does for the host.

#include "Settings.h"

// Whether a system error code tells of a failure that passes: a file or key another program holds
// or is replacing, or resources that are short for the moment.
bool IsPassingFailure(unsigned long error);
// Throws StoreBusy for such a failure and std::runtime_error for any other, telling `what` failed
// with the code.
[[noreturn]] void ThrowStoreFailure(const std::string& what, unsigned long error);

class Win32RegistryStore : public RegistryKeyStore {
public:
    std::string ReadString(const std::string& name) override;
    void WriteStrings(const SettingValues& values) override;
};

// The profile function answers the default for a file it cannot open as for one that is not
// there; a read first finds out whether the file is only busy, and then throws StoreBusy.
class Win32ProfileStore : public ProfileStore {
public:
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& defaultValue, std::size_t bufferSize) override;
    bool ReadsQuickly() override;
    // Only the entries whose text differs, each by its own rewrite of the file.
    void WriteStrings(const std::string& section, const SettingValues& values) override;
};
