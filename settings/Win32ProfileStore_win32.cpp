// "Quenvik.ini" through the profile functions. The bare file name leaves the folder to the
// system: the Windows directory, or for a legacy 32-bit program the user's virtual store, which
// is where the host's own writes land.
#include <windows.h>

#include <string>

#include "Win32Stores.h"

namespace {

constexpr const char* LegacyFile = "Quenvik.ini";
constexpr const wchar_t* LegacyFileName = L"Quenvik.ini";

// Throws StoreBusy when the file exists but cannot be read for now: a host that keeps it open
// without sharing it, as an editor or a backup program may, leaves the profile function
// answering "" as for a missing value, and copying that "" would erase the host's value once it
// lets go. A file that can never be read stays the profile function's to answer. Opened where
// the profile function looks, the Windows directory, so that the virtual store redirects this
// open as it redirects the profile function's.
void CheckLegacyFileReadable() {
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = GetWindowsDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ThrowStoreFailure("cannot find the Windows directory", GetLastError());
    }
    path.resize(length);
    path.append(L"\\").append(LegacyFileName);
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (IsPassingFailure(error)) {
            ThrowStoreFailure(std::string("cannot read ") + LegacyFile, error);
        }
        return;
    }
    CloseHandle(file);
}

}  // namespace

std::string Win32ProfileStore::ReadString(const std::string& section, const std::string& name,
                                          const std::string& defaultValue, std::size_t bufferSize) {
    CheckLegacyFileReadable();
    std::string buffer(bufferSize, '\0');
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), name.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(bufferSize), LegacyFile);
    buffer.resize(length);
    // Taken while the profile function read, the file answered nothing of its own.
    CheckLegacyFileReadable();
    return buffer;
}

void Win32ProfileStore::WriteStrings(const std::string& section, const SettingValues& values) {
    for (const auto& [name, value] : values) {
        if (!WritePrivateProfileStringA(section.c_str(), name.c_str(), value.c_str(), LegacyFile)) {
            ThrowStoreFailure("cannot write " + name + " to " + LegacyFile, GetLastError());
        }
    }
}
