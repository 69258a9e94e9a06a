// "Quenvik.ini" through the profile functions. The bare file name leaves the folder to the
// system: the Windows directory, or for a legacy 32-bit program the user's virtual store, which
// is where the host's own writes land.
#include <windows.h>

#include <stdexcept>

#include "Win32Stores.h"

namespace {

constexpr const char* LegacyFile = "Quenvik.ini";

}  // namespace

std::string Win32ProfileStore::ReadString(const std::string& section, const std::string& name,
                                          const std::string& defaultValue, std::size_t bufferSize) {
    std::string buffer(bufferSize, '\0');
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), name.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(bufferSize), LegacyFile);
    buffer.resize(length);
    return buffer;
}

void Win32ProfileStore::WriteStrings(const std::string& section, const SettingValues& values) {
    for (const auto& [name, value] : values) {
        if (!WritePrivateProfileStringA(section.c_str(), name.c_str(), value.c_str(), LegacyFile)) {
            const DWORD error = GetLastError();
            const std::string message = "cannot write " + name + " to " + LegacyFile + " (error " +
                                        std::to_string(error) + ")";
            // The host has the file open without sharing it: a later try may succeed.
            if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION) {
                throw StoreBusy(message);
            }
            throw std::runtime_error(message);
        }
    }
}
