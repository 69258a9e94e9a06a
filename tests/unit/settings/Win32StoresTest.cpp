// The Windows stores over the system's real registry and profile functions. They work on the
// host's real key and the real "Quenvik.ini" in the Windows directory, so every test starts and
// ends with neither; the test prefix is thrown away afterwards anyway.

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Settings.h"
#include "SettingsTestSupport.h"
#include "UserSettings.h"
#include "Win32Stores.h"

namespace {

using namespace std::string_literals;

const char* const HostKey = "Software\\Tembra-Lidorn";

std::filesystem::path LegacyFile() {
    char directory[MAX_PATH] = {};
    const UINT length = GetWindowsDirectoryA(directory, MAX_PATH);
    return std::filesystem::path(std::string(directory, length)) / "Quenvik.ini";
}

// A registry value exactly as stored, so that a test sees the type and the terminating zero.
struct RawValue {
    DWORD Type = REG_SZ;
    std::string Bytes;
    bool operator==(const RawValue&) const = default;
};

std::ostream& operator<<(std::ostream& stream, const RawValue& value) {
    return stream << "type " << value.Type << " \"" << Visible(value.Bytes) << "\"";
}

void SetRaw(const char* name, const RawValue& value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, HostKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const LONG status =
        RegSetValueExA(key, name, 0, value.Type, reinterpret_cast<const BYTE*>(value.Bytes.data()),
                       static_cast<DWORD>(value.Bytes.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS) << name;
}

bool KeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, HostKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

// Large enough for every value the tests read back.
std::optional<RawValue> GetRaw(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, HostKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    RawValue value{REG_NONE, std::string(1024, '\0')};
    DWORD size = 1024;
    const LONG status = RegQueryValueExA(key, name, nullptr, &value.Type,
                                         reinterpret_cast<BYTE*>(value.Bytes.data()), &size);
    RegCloseKey(key);
    value.Bytes.resize(size);
    return status == ERROR_SUCCESS ? std::optional(value) : std::nullopt;
}

// Removes the key with all its values, and the file. The profile functions may keep a copy of the
// file between calls, so they are first told to drop it, as a write with no section, entry or text
// does.
void ForgetBothStores() {
    RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "Quenvik.ini");
    std::error_code ignored;
    std::filesystem::remove(LegacyFile(), ignored);
}

class Win32Stores : public testing::Test {
protected:
    void SetUp() override { ForgetBothStores(); }
    void TearDown() override { ForgetBothStores(); }
};

TEST_F(Win32Stores, TheRegistryStoreReadsStringsUpToTheirFirstZeroAndNothingElse) {
    struct Case {
        std::string Situation;
        std::optional<RawValue> Stored;       // nullopt: the key exists without the value
        std::optional<std::string> Expected;  // nullopt: the read throws
    };
    const std::vector<Case> cases = {
        {"a string", RawValue{REG_SZ, "741\0"s}, "741"},
        {"a string without its terminating zero", RawValue{REG_SZ, "741"}, "741"},
        {"a string with text after a zero", RawValue{REG_SZ, "741\0junk\0"s}, "741"},
        {"an expandable string, not expanded", RawValue{REG_EXPAND_SZ, "%WINDIR%\\x\0"s},
         "%WINDIR%\\x"},
        {"a string of size zero", RawValue{REG_SZ, ""}, ""},
        {"no such value", std::nullopt, ""},
        {"a number", RawValue{REG_DWORD, "\x05\0\0\0"s}, std::nullopt},
        {"binary data", RawValue{REG_BINARY, "741"}, std::nullopt},
        {"a list of strings", RawValue{REG_MULTI_SZ, "741\0\0"s}, std::nullopt},
    };
    Win32RegistryStore registry;
    EXPECT_EQ(registry.ReadString("CalcLeft"), "") << "no key";
    EXPECT_FALSE(KeyExists()) << "reading must not create the key";
    for (const Case& c : cases) {
        ForgetBothStores();
        SetRaw("Other", RawValue{REG_SZ, "x\0"s});
        if (c.Stored) {
            SetRaw("CalcLeft", *c.Stored);
        }
        if (c.Expected) {
            EXPECT_EQ(registry.ReadString("CalcLeft"), *c.Expected) << c.Situation;
        } else {
            EXPECT_THROW(registry.ReadString("CalcLeft"), std::runtime_error) << c.Situation;
        }
    }
}

TEST_F(Win32Stores, ReadSettingMigratesTheLegacyValueAndCreatesWhatIsMissing) {
    struct Case {
        std::string Situation;
        std::optional<RawValue> Registry;
        std::optional<std::string> Legacy;  // the file's bytes
        std::string Expected;
        RawValue RegistryAfter;
        std::string LegacyAfter;
    };
    const std::string legacy300 = "[Einstellungen]\r\nCalcLeft=300\r\n";
    const std::string long1 = "[Einstellungen]\r\nCalcLeft=" + std::string(400, '1') + "\r\n";
    const std::string cut1 = std::string(299, '1');
    const std::vector<Case> cases = {
        {"the registry holds 741", RawValue{REG_SZ, "741\0"s}, legacy300, "741",
         RawValue{REG_SZ, "741\0"s}, legacy300},
        {"only the legacy file holds 300", std::nullopt, legacy300, "300",
         RawValue{REG_SZ, "300\0"s}, legacy300},
        {"found nowhere", std::nullopt, std::nullopt, "", RawValue{REG_SZ, "\0"s},
         "[Einstellungen]\r\nCalcLeft=\r\n"},
        {"a number in the registry", RawValue{REG_DWORD, "\x05\0\0\0"s}, legacy300, "300",
         RawValue{REG_SZ, "300\0"s}, legacy300},
        {"a legacy value of 400 characters", std::nullopt, long1, cut1,
         RawValue{REG_SZ, cut1 + "\0"s}, "[Einstellungen]\r\nCalcLeft=" + cut1 + "\r\n"},
    };
    for (const Case& c : cases) {
        ForgetBothStores();
        if (c.Registry) {
            SetRaw("CalcLeft", *c.Registry);
        }
        if (c.Legacy) {
            WriteBytes(LegacyFile(), *c.Legacy);
        }
        Win32RegistryStore registry;
        Win32ProfileStore profile;
        SettingsStore store(registry, profile);
        EXPECT_EQ(store.ReadSetting("CalcLeft"), c.Expected) << c.Situation;
        EXPECT_EQ(GetRaw("CalcLeft"), c.RegistryAfter) << c.Situation;
        EXPECT_EQ(Visible(ReadBytes(LegacyFile())), Visible(c.LegacyAfter)) << c.Situation;
    }
}

TEST_F(Win32Stores, TheUsersSettingsAreWrittenToTheKeyAndTheWindowsDirectory) {
    {
        // Gone at exit, its writer has finished the write, both values in each store.
        UserSettings settings;
        settings.Store().WriteSettings({{"CalcLeft", "530"}, {"CalcTop", "120"}});
    }
    EXPECT_EQ(GetRaw("CalcLeft"), (RawValue{REG_SZ, "530\0"s}));
    EXPECT_EQ(GetRaw("CalcTop"), (RawValue{REG_SZ, "120\0"s}));
    EXPECT_EQ(Visible(ReadBytes(LegacyFile())),
              Visible("[Einstellungen]\r\nCalcLeft=530\r\nCalcTop=120\r\n"));
    EXPECT_FALSE(std::filesystem::exists("Quenvik.ini")) << "not in the working directory";
    EXPECT_EQ(UserSettings().Store().ReadSetting("CalcTop"), "120");
}

TEST_F(Win32Stores, TheLegacyFileIsRewrittenOnlyForATextItDoesNotHold) {
    // As the host left it: line feeds, blanks and quotes, none of which a rewrite keeps.
    const std::string host = "[Einstellungen]\nCalcLeft = 5\n;host\nCalcTop='7'\n";
    WriteBytes(LegacyFile(), host);
    Win32ProfileStore profile;
    profile.WriteStrings("Einstellungen", {{"CalcLeft", "5"}, {"CalcTop", "7"}});
    EXPECT_EQ(Visible(ReadBytes(LegacyFile())), Visible(host)) << "both already stored";
    profile.WriteStrings("Einstellungen", {{"CalcLeft", "6"}, {"CalcTop", "7"}, {"New", ""}});
    EXPECT_EQ(profile.ReadStrings("Einstellungen", {"CalcLeft", "CalcTop", "New"}, "none", 300),
              (std::vector<std::string>{"6", "7", ""}));
}

TEST_F(Win32Stores, AValueThatGrowsWhileBeingReadIsReadWhole) {
    const std::string shortValue = "1";
    const std::string longValue(4000, '2');
    SetRaw("CalcLeft", RawValue{REG_SZ, shortValue + "\0"s});
    std::atomic<bool> stop = false;
    std::thread writer([&] {
        for (bool grow = true; !stop; grow = !grow) {
            const std::string& value = grow ? longValue : shortValue;
            SetRaw("CalcLeft", RawValue{REG_SZ, value + "\0"s});
        }
    });
    Win32RegistryStore registry;
    std::set<std::string> seen;
    for (int read = 0; read < 2000; ++read) {
        try {
            const std::string value = registry.ReadString("CalcLeft");
            if (value != shortValue && value != longValue) {
                ADD_FAILURE() << "read \"" << value.substr(0, 20) << "...\" of " << value.size();
                break;
            }
            seen.insert(value);
        } catch (const std::runtime_error& error) {
            ADD_FAILURE() << error.what();
            break;
        }
    }
    stop = true;
    writer.join();
    EXPECT_TRUE(seen.contains(shortValue) && seen.contains(longValue))
        << "the value never changed between the reads";
}

// A folder in the file's place makes the profile functions fail, which a read-only file cannot
// do for a test run by the superuser.
TEST_F(Win32Stores, AnUnusableLegacyFileReadsAsTheDefaultAndFailsOnlyItsOwnWrite) {
    std::filesystem::create_directory(LegacyFile());
    Win32ProfileStore profile;
    EXPECT_EQ(profile.ReadString("Einstellungen", "CalcLeft", "none", 300), "none");
    EXPECT_THROW(profile.WriteStrings("Einstellungen", {{"CalcLeft", "6"}}), std::runtime_error);
    Win32RegistryStore registry;
    SettingsStore store(registry, profile);
    EXPECT_EQ(store.ReadSetting("CalcLeft"), "");
    EXPECT_EQ(GetRaw("CalcLeft"), (RawValue{REG_SZ, "\0"s})) << "written although the file failed";
    EXPECT_NO_THROW(store.WriteSettings({{"CalcLeft", "7"}}));
    EXPECT_EQ(GetRaw("CalcLeft"), (RawValue{REG_SZ, "7\0"s}));
    EXPECT_TRUE(std::filesystem::is_directory(LegacyFile()));
}

// A host that keeps the file open without sharing it, as an editor or a backup program may: the
// profile function would answer "" as for a missing value, and the first-run copy would write
// that "" over the host's value once it lets go.
TEST_F(Win32Stores, ALegacyFileHeldWithoutSharingIsABusyReadAndNothingIsWritten) {
    const std::string host = "[Einstellungen]\r\nCalcLeft=333\r\n";
    WriteBytes(LegacyFile(), host);
    const HANDLE held = CreateFileW(LegacyFile().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Win32ProfileStore profile;
    Win32RegistryStore registry;
    SettingsStore store(registry, profile);
    EXPECT_THROW(profile.ReadString("Einstellungen", "CalcLeft", "", 300), StoreBusy);
    EXPECT_EQ(store.ReadSetting("CalcLeft"), "");
    CloseHandle(held);
    EXPECT_FALSE(KeyExists()) << "the registry was written from a busy read";
    EXPECT_EQ(ReadBytes(LegacyFile()), host);
    EXPECT_EQ(store.ReadSetting("CalcLeft"), "333") << "once the host let go";
    EXPECT_EQ(GetRaw("CalcLeft"), (RawValue{REG_SZ, "333\0"s}));
}

}  // namespace
