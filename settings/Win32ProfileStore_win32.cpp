// "Quenvik.ini" through the profile functions. The bare file name leaves the folder to the
// system: the Windows directory, or for a legacy 32-bit program the user's virtual store, which
// is where the host's own writes land.
#include <windows.h>

#include <string>

#include "Win32Stores.h"

namespace {

constexpr const char* LegacyFile = "Quenvik.ini";
constexpr const wchar_t* LegacyFileName = L"Quenvik.ini";
// What the profile function reads in a few milliseconds.
constexpr DWORD QuickReadSize = 1024 * 1024;

// Where the profile function looks for the file: the Windows directory, which the virtual store
// redirects for a legacy program as it redirects the profile function.
std::wstring LegacyFilePath() {
    std::wstring path(MAX_PATH, L'\0');
    const UINT length = GetWindowsDirectoryW(path.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        ThrowStoreFailure("cannot find the Windows directory", GetLastError());
    }
    path.resize(length);
    return path.append(L"\\").append(LegacyFileName);
}

// Throws StoreBusy when the file exists but cannot be read for now: a host that keeps it open
// without sharing it, as an editor or a backup program may, leaves the profile function
// answering "" as for a missing value, and copying that "" would erase the host's value once it
// lets go. A file that can never be read stays the profile function's to answer. Opened where
// the profile function looks, the Windows directory, so that the virtual store redirects this
// open as it redirects the profile function's.
void CheckLegacyFileReadable() {
    const HANDLE file = CreateFileW(LegacyFilePath().c_str(), GENERIC_READ,
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

// A text that fits the entry exactly: a longer stored value comes back cut, one character past
// the text, and a missing entry as the default, a line break no stored value can hold.
bool Holds(const std::string& section, const std::string& name, const std::string& text) {
    std::string buffer(text.size() + 2, '\0');
    const DWORD length =
        GetPrivateProfileStringA(section.c_str(), name.c_str(), "\n", buffer.data(),
                                 static_cast<DWORD>(buffer.size()), LegacyFile);
    return buffer.compare(0, length, text) == 0 && length == text.size();
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

bool Win32ProfileStore::ReadsQuickly() {
    WIN32_FILE_ATTRIBUTE_DATA file{};
    if (!GetFileAttributesExW(LegacyFilePath().c_str(), GetFileExInfoStandard, &file)) {
        return true;
    }
    return file.nFileSizeHigh == 0 && file.nFileSizeLow <= QuickReadSize;
}

void Win32ProfileStore::WriteStrings(const std::string& section, const SettingValues& values) {
    // Every write rewrites the whole file, and a host writing it at the same moment loses what
    // it wrote in between: an entry that already holds the text is left alone.
    for (const auto& [name, value] : values) {
        if (Holds(section, name, value)) {
            continue;
        }
        if (!WritePrivateProfileStringA(section.c_str(), name.c_str(), value.c_str(), LegacyFile)) {
            ThrowStoreFailure("cannot write " + name + " to " + LegacyFile, GetLastError());
        }
    }
}
