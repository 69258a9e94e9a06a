// The host's registry key through the registry functions. The key is opened for each call and
// closed before it returns; reading never creates it.
#include <windows.h>

#include <stdexcept>

#include "TextLines.h"
#include "Win32Stores.h"

namespace {

constexpr const char* HostKey = "Software\\Tembra-Lidorn";

// Another program may write the value between asking for its size and reading it. Each retry
// reads with the size the failed read reported, so only a value that keeps growing exhausts them.
constexpr int ReadAttempts = 8;

// StoreBusy for a failure that passes, such as a key the host deletes and creates anew.
[[noreturn]] void Fail(const char* what, const std::string& name, LONG status) {
    ThrowStoreFailure(std::string(what) + " registry value " + name, static_cast<DWORD>(status));
}

bool IsText(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

// Closes the key however the call ends.
class OpenKey {
public:
    OpenKey() = default;
    ~OpenKey() {
        if (Handle != nullptr) {
            RegCloseKey(Handle);
        }
    }
    OpenKey(const OpenKey&) = delete;
    OpenKey& operator=(const OpenKey&) = delete;

    HKEY Handle = nullptr;
};

}  // namespace

std::string Win32RegistryStore::ReadString(const std::string& name) {
    OpenKey key;
    const LONG opened = RegOpenKeyExA(HKEY_CURRENT_USER, HostKey, 0, KEY_READ, &key.Handle);
    if (opened == ERROR_FILE_NOT_FOUND) {
        return "";
    }
    if (opened != ERROR_SUCCESS) {
        Fail("cannot open the key for", name, opened);
    }
    DWORD type = 0;
    DWORD size = 0;
    LONG status = RegQueryValueExA(key.Handle, name.c_str(), nullptr, &type, nullptr, &size);
    for (int reads = 0; status == ERROR_SUCCESS || status == ERROR_MORE_DATA; ++reads) {
        if (!IsText(type)) {
            throw std::runtime_error("registry value " + name + " is not a string");
        }
        if (size == 0) {
            return "";
        }
        if (reads == ReadAttempts) {
            throw StoreBusy("cannot catch up with the growing registry value " + name);
        }
        // After ERROR_MORE_DATA, `size` holds what the grown value needs.
        std::string data(size, '\0');
        status = RegQueryValueExA(key.Handle, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(data.data()), &size);
        if (status == ERROR_SUCCESS && IsText(type)) {
            data.resize(size);
            return std::string(UpToNul(data));
        }
    }
    if (status == ERROR_FILE_NOT_FOUND) {
        return "";
    }
    Fail("cannot read", name, status);
}

void Win32RegistryStore::WriteStrings(const SettingValues& values) {
    OpenKey key;
    const LONG created =
        RegCreateKeyExA(HKEY_CURRENT_USER, HostKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                        nullptr, &key.Handle, nullptr);
    if (created != ERROR_SUCCESS) {
        ThrowStoreFailure("cannot create the registry key", static_cast<DWORD>(created));
    }
    for (const auto& [name, value] : values) {
        // The size includes the terminating zero, as readers of the host's values expect.
        const LONG written = RegSetValueExA(key.Handle, name.c_str(), 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>(value.c_str()),
                                            static_cast<DWORD>(value.size() + 1));
        if (written != ERROR_SUCCESS) {
            Fail("cannot write", name, written);
        }
    }
}
