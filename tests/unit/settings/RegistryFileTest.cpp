// The registry key as a registry export file: string values, values of other types, escaping,
// other keys and lines kept, and files that are not ours to edit.

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "FileStores.h"
#include "RegistryFileFormat.h"
#include "SettingsFileText.h"
#include "SettingsTestSupport.h"

namespace {

using namespace std::string_literals;

const std::string Header = "Windows Registry Editor Version 5.00\r\n\r\n";
const std::string Key = "[HKEY_CURRENT_USER\\Software\\Tembra-Lidorn]\r\n";

struct ReadCase {
    std::string File;
    std::optional<std::string> Expected;
};

TEST(ReadRegistryValue, ReadsStringValuesOfTheKey) {
    const std::vector<ReadCase> cases = {
        {Header + Key + "\"CalcLeft\"=\"741\"\r\n", "741"},
        {Header + Key + "\"calcleft\" = \"741\"  \r\n", "741"},
        {Header + "[hkey_current_user\\software\\tembra-lidorn]\n\"CalcLeft\"=\"1\"", "1"},
        {Header + Key + "\"CalcLeft\"=\"\"\r\n", ""},
        {Header + Key + "\"CalcLeft\"=\"a\\\\b\\\"c\\d\"\r\n", "a\\b\"c\\d"},
        {Header + Key + "\"CalcLeft\"=\"12\0x\"\r\n"s, "12"},
        {"\xEF\xBB\xBF" + Header + Key + "\"CalcLeft\"=\"5\"", "5"},
        {"Windows Registry Editor Version 5.00\r[HKEY_CURRENT_USER\\Software\\Tembra-Lidorn]\r"
         "\"CalcLeft\"=\"5\"\r",
         "5"},
        // The last occurrence counts, as after an import.
        {Header + Key + "\"CalcLeft\"=\"1\"\r\n\r\n" + Key + "\"CalcLeft\"=\"2\"\r\n", "2"},
        // hex(1) and hex(2) are string types written as UTF-16LE bytes.
        {Header + Key + "\"CalcLeft\"=hex(2):31,00,32,00,00,00,33,00\r\n", "12"},
        {Header + Key + "\"CalcLeft\"=hex(1):2d,00,\\\r\n  35,00,30,00,00,00\r\n", "-50"},
        {Header + Key + "\"CalcLeft\"=hex(1):41,00,ac,20,00,00\r\n", "A?"},
        {Header + Key + "\"CalcLeft\"=hex(2):\r\n", ""},
        // Missing: no header, another header, garbage, another key, a subkey, no value.
        {"", std::nullopt},
        {"REGEDIT4\r\n\r\n" + Key + "\"CalcLeft\"=\"5\"\r\n", std::nullopt},
        {"\x01\x02\xff\0\"CalcLeft\"=\"5\""s, std::nullopt},
        {Header + "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"CalcLeft\"=\"5\"\r\n", std::nullopt},
        {Header + "[HKEY_CURRENT_USER\\Software\\Tembra-Lidorn\\Sub]\r\n\"CalcLeft\"=\"5\"\r\n",
         std::nullopt},
        {Header + Key + "\"CalcTop\"=\"5\"\r\n\"CalcLeftX\"=\"6\"\r\n", std::nullopt},
        {Header + "\"CalcLeft\"=\"5\"\r\n" + Key, std::nullopt},
        // Only hex bytes continue a value: a stray backslash swallows no value line.
        {Header + Key + "\"Blob\"=hex:01,\\\r\n  \"CalcLeft\"=\"5\"\r\n", "5"},
        {Header + Key + "\"Blob\"=hex:01,\\\r\n" + Key + "\"CalcLeft\"=\"6\"\r\n", "6"},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadRegistryValue(c.File, "CalcLeft"), c.Expected)
            << "file \"" << Visible(c.File) << "\"";
    }
}

TEST(ReadRegistryValue, ValuesOfOtherTypesAreNotStrings) {
    for (const std::string& data :
         {"dword:00000005"s, "hex:05,00"s, "hex(7):41,00,00,00"s, "hex(b):05,00,00,00,00,00,00,00"s,
          "-"s, "\"5"s, "\"5\" junk"s, "5"s, "hex(2):3"s, "hex(2):zz,00"s}) {
        const std::string file = Header + Key + "\"CalcLeft\"=" + data + "\r\n";
        EXPECT_THROW(ReadRegistryValue(file, "CalcLeft"), std::runtime_error)
            << "value data " << data;
    }
}

struct WriteCase {
    std::string Before;
    std::string Value;
    std::string After;
};

TEST(WithRegistryValue, ReplacesInPlaceOrAddsToTheKey) {
    const std::string other = "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"CalcLeft\"=\"9\"\r\n";
    const std::vector<WriteCase> cases = {
        {"", "741", Header + Key + "\"CalcLeft\"=\"741\"\r\n"},
        {"Windows Registry Editor Version 5.00", "7", Header + Key + "\"CalcLeft\"=\"7\"\r\n"},
        {Header, "7", Header + Key + "\"CalcLeft\"=\"7\"\r\n"},
        {Header + other, "7", Header + other + "\r\n" + Key + "\"CalcLeft\"=\"7\"\r\n"},
        {Header + Key + "\"calcleft\" = \"5\"\r\n", "7", Header + Key + "\"calcleft\" = \"7\"\r\n"},
        {Header + Key + "\"CalcLeft\"=dword:00000005\r\n\"CalcTop\"=\"1\"\r\n", "7",
         Header + Key + "\"CalcLeft\"=\"7\"\r\n\"CalcTop\"=\"1\"\r\n"},
        {Header + Key + "\"CalcLeft\"=hex(7):41,00,\\\r\n  00,00,00,00\r\n\"CalcTop\"=\"1\"\r\n",
         "7", Header + Key + "\"CalcLeft\"=\"7\"\r\n\"CalcTop\"=\"1\"\r\n"},
        {Header + Key + "\"CalcTop\"=\"1\"\r\n\r\n" + other, "7",
         Header + Key + "\"CalcTop\"=\"1\"\r\n\"CalcLeft\"=\"7\"\r\n\r\n" + other},
        {Header + Key + "\"CalcTop\"=\"1\"", "7",
         Header + Key + "\"CalcTop\"=\"1\"\r\n\"CalcLeft\"=\"7\"\r\n"},
        {Header + Key + "\"CalcLeft\"=\"1\"\r\n" + other + Key + "; later\r\n", "7",
         Header + Key + "\"CalcLeft\"=\"7\"\r\n" + other + Key + "; later\r\n"},
        {Header + Key + "\"CalcTop\"=\"1\"\r\n" + other + Key + "; later\r\n\r\n", "7",
         Header + Key + "\"CalcTop\"=\"1\"\r\n" + other + Key +
             "; later\r\n\"CalcLeft\"=\"7\"\r\n\r\n"},
        {"Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Tembra-Lidorn]\n",
         "a\"b\\c",
         "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Tembra-Lidorn]\n"
         "\"CalcLeft\"=\"a\\\"b\\\\c\"\n"},
        // A hex value cut off after its continuation backslash does not swallow the new line.
        {Header + Key + "\"Blob\"=hex:01,\\", "7",
         Header + Key + "\"Blob\"=hex:01,\\\r\n\"CalcLeft\"=\"7\"\r\n"},
        // The value already stored changes nothing.
        {Header + Key + "\"CALCLEFT\"  =  \"7\"  ", "7", Header + Key + "\"CALCLEFT\"  =  \"7\"  "},
    };
    for (const WriteCase& c : cases) {
        const std::string after = WithRegistryValue(c.Before, "CalcLeft", c.Value);
        EXPECT_EQ(Visible(after), Visible(c.After))
            << "writing CalcLeft=" << c.Value << " into \"" << Visible(c.Before) << "\"";
        EXPECT_EQ(ReadRegistryValue(after, "CalcLeft"), c.Value)
            << "re-reading after writing into \"" << Visible(c.Before) << "\"";
    }
}

// A release stores both coordinates in one edit: each value where it is, in whatever order the
// file has them, and the missing ones together where one alone would go.
TEST(WithRegistryValues, WritesSeveralValuesInOneEdit) {
    const SettingValues position = {{"CalcLeft", "530"}, {"CalcTop", "120"}};
    const std::string other = "[HKEY_CURRENT_USER\\Software\\Other]\r\n\"CalcLeft\"=\"9\"\r\n";
    const std::string both = "\"CalcLeft\"=\"530\"\r\n\"CalcTop\"=\"120\"\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", Header + Key + both},
        {Header + other, Header + other + "\r\n" + Key + both},
        {Header + Key + "\"CalcTop\"=dword:00000001\r\n\"X\"=\"y\"\r\n\"CalcLeft\"=\"2\"\r\n",
         Header + Key + "\"CalcTop\"=\"120\"\r\n\"X\"=\"y\"\r\n\"CalcLeft\"=\"530\"\r\n"},
        {Header + Key + "\"CalcTop\"=\"1\"\r\n\r\n" + other,
         Header + Key + "\"CalcTop\"=\"120\"\r\n\"CalcLeft\"=\"530\"\r\n\r\n" + other},
        {Header + Key + "\"CalcLeft\"=\"530\"", Header + Key + both},
        {Header + Key + both, Header + Key + both},
    };
    for (const auto& [before, expected] : cases) {
        const std::string after = WithRegistryValues(before, position);
        EXPECT_EQ(Visible(after), Visible(expected)) << "into \"" << Visible(before) << "\"";
        for (const auto& [name, value] : position) {
            EXPECT_EQ(ReadRegistryValue(after, name), value)
                << "re-reading " << name << " after writing into \"" << Visible(before) << "\"";
        }
    }
    EXPECT_THROW(WithRegistryValues(Header, {{"CalcLeft", "1"}, {"CALCLEFT", "2"}}),
                 std::invalid_argument)
        << "one value named twice";
}

TEST(WithRegistryValue, RefusesFilesThatAreNotOursAndValuesThatBreakLines) {
    for (const std::string& file : {"REGEDIT4\r\n"s, "\x01\x02\xff\0"s, "\r\n"s}) {
        EXPECT_THROW(WithRegistryValue(file, "CalcLeft", "1"), std::runtime_error)
            << "file \"" << Visible(file) << "\"";
    }
    for (const std::string& value : {"1\r\n[x]"s, "1\n"s, "1\0 2"s}) {
        EXPECT_THROW(WithRegistryValue(Header, "CalcLeft", value), std::invalid_argument)
            << "value \"" << Visible(value) << "\"";
    }
    EXPECT_THROW(WithRegistryValue(Header, "", "1"), std::invalid_argument) << "empty name";
}

TEST(RegistryFileStore, ReadsNothingFromAMissingOrForeignFileAndNeverOverwritesIt) {
    ScratchDirectory scratch;
    const auto file = scratch / "Tembra-Lidorn" / "registry.reg";
    RegistryFileStore store(file);
    EXPECT_EQ(store.ReadString("CalcLeft"), "") << "no file";
    store.WriteStrings({{"CalcLeft", "741"}});
    EXPECT_EQ(ReadBytes(file), Header + Key + "\"CalcLeft\"=\"741\"\r\n") << "new file";
    EXPECT_EQ(store.ReadString("calcLEFT"), "741") << "after writing 741";

    for (const std::string& foreign :
         {"REGEDIT4\r\n\r\n" + Key + "\"CalcLeft\"=\"5\"\r\n", "\x89PNG\r\n\x1a\n\0\0\0"s}) {
        WriteBytes(file, foreign);
        EXPECT_EQ(store.ReadString("CalcLeft"), "") << "file \"" << Visible(foreign) << "\"";
        EXPECT_THROW(store.WriteStrings({{"CalcLeft", "1"}}), std::runtime_error)
            << "file \"" << Visible(foreign) << "\"";
        EXPECT_EQ(ReadBytes(file), foreign) << "file \"" << Visible(foreign) << "\"";
    }
}

TEST(RegistryFileStore, AValueOfAnotherTypeFailsTheRead) {
    ScratchDirectory scratch;
    const auto file = scratch / "registry.reg";
    std::string longHex = "hex(1):41,00,\\\r\n";
    while (longHex.size() < 3 * LongestLine) {
        longHex += "  41,00,41,00,41,00,41,00,41,00,41,00,41,00,41,00,41,00,41,00,41,00,\\\r\n";
    }
    longHex += "  00,00\r\n";
    for (const std::string& data : {"dword:0000012c\r\n"s, longHex}) {
        WriteBytes(file, Header + Key + "\"CalcLeft\"=" + data + "\"CalcTop\"=\"5\"\r\n");
        RegistryFileStore store(file);
        EXPECT_THROW(store.ReadString("CalcLeft"), std::runtime_error) << data.substr(0, 20);
        EXPECT_EQ(store.ReadStrings({"CalcLeft", "CalcTop"}), (std::vector<std::string>{"", "5"}));
        store.WriteStrings({{"CalcLeft", "300"}});
        EXPECT_EQ(ReadBytes(file), Header + Key + "\"CalcLeft\"=\"300\"\r\n\"CalcTop\"=\"5\"\r\n")
            << "after replacing " << data.substr(0, 20);
    }
}

TEST(FileStores, RefuseARelativePath) {
    RegistryFileStore registry("registry.reg");
    ProfileFileStore profile("Quenvik.ini");
    EXPECT_THROW(registry.ReadString("CalcLeft"), std::runtime_error) << "relative registry path";
    EXPECT_THROW(registry.WriteStrings({{"CalcLeft", "1"}}), std::runtime_error)
        << "relative registry path";
    EXPECT_THROW(profile.ReadString("Einstellungen", "CalcLeft", "", 300), std::runtime_error)
        << "relative profile path";
    EXPECT_THROW(profile.WriteStrings("Einstellungen", {{"CalcLeft", "1"}}), std::runtime_error)
        << "relative profile path";
}

}  // namespace
