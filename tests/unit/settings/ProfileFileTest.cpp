// The legacy initialisation file: reading by the rules of the platform's profile functions, and
// edits that change only the entry's line, on files written the way people and other programs
// write them.

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "FileStores.h"
#include "ProfileFileFormat.h"
#include "SettingsFileText.h"
#include "SettingsTestSupport.h"

namespace {

using namespace std::string_literals;

struct ReadCase {
    std::string File;
    std::string Section;
    std::string Name;
    std::optional<std::string> Expected;
};

TEST(ReadProfileValue, FollowsTheProfileFunctionRules) {
    const std::vector<ReadCase> cases = {
        {"[Einstellungen]\r\nCalcLeft=300\r\n", "Einstellungen", "CalcLeft", "300"},
        {"[einstellungen]\ncalcleft=5", "Einstellungen", "CalcLeft", "5"},
        {"[Einstellungen]\nCalcLeft=5\n", " Einstellungen ", " CalcLeft ", "5"},
        {"  [Einstellungen]  \n  CalcLeft  =  5  \n", "Einstellungen", "CalcLeft", "5"},
        {"\t[Einstellungen]\t\n\vCalcLeft\f=\t5\x1a\n", "Einstellungen", "CalcLeft", "5"},
        {"[ Einstellungen ]\nCalcLeft=5\n", "Einstellungen", "CalcLeft", "5"},
        {"[Einstellungen] ; the calculator\nCalcLeft=5", "Einstellungen", "CalcLeft", "5"},
        {"[Einstellungen]]\nCalcLeft=5", "Einstellungen", "CalcLeft", std::nullopt},
        {"[Einstellungen\nCalcLeft=5", "Einstellungen", "CalcLeft", std::nullopt},
        {"CalcLeft=9\n[Einstellungen]\nCalcLeft=5", "Einstellungen", "CalcLeft", "5"},
        {"\xEF\xBB\xBF[Einstellungen]\nCalcLeft=5", "Einstellungen", "CalcLeft", "5"},
        // No inline comments; split at the first "=".
        {"[Einstellungen]\nCalcLeft=5 ; c", "Einstellungen", "CalcLeft", "5 ; c"},
        {"[Einstellungen]\nCalcLeft=a=b", "Einstellungen", "CalcLeft", "a=b"},
        {"[Einstellungen]\nCalcLeft==5", "Einstellungen", "CalcLeft", "=5"},
        {"[Einstellungen]\n;CalcLeft=5\n", "Einstellungen", "CalcLeft", std::nullopt},
        // One pair of matching quotes.
        {"[Einstellungen]\nCalcLeft=\"5\"", "Einstellungen", "CalcLeft", "5"},
        {"[Einstellungen]\nCalcLeft='5'", "Einstellungen", "CalcLeft", "5"},
        {"[Einstellungen]\nCalcLeft=\"5' ", "Einstellungen", "CalcLeft", "\"5'"},
        {"[Einstellungen]\nCalcLeft=\"", "Einstellungen", "CalcLeft", "\""},
        {"[Einstellungen]\nCalcLeft=\"\"", "Einstellungen", "CalcLeft", ""},
        {"[Einstellungen]\nCalcLeft=\" 5 \"", "Einstellungen", "CalcLeft", " 5 "},
        {"[Einstellungen]\nCalcLeft=\"\"5\"\"", "Einstellungen", "CalcLeft", "\"5\""},
        // The first section and the first entry of a name count.
        {"[Einstellungen]\nA=1\n[Einstellungen]\nCalcLeft=2\n", "Einstellungen", "CalcLeft",
         std::nullopt},
        {"[Einstellungen]\nCalcLeft=1\n[Einstellungen]\nCalcLeft=2\n", "Einstellungen", "CalcLeft",
         "1"},
        {"[Einstellungen]\nCalcLeft=1\nCALCLEFT=2\n", "Einstellungen", "CalcLeft", "1"},
        {"[Einstellungen]\nCalcLeft\nCalcLeft=5\n", "Einstellungen", "CalcLeft", std::nullopt},
        // Empty against missing.
        {"[Einstellungen]\nCalcLeft=\n", "Einstellungen", "CalcLeft", ""},
        {"[Einstellungen]\nCalcLeft=   \n", "Einstellungen", "CalcLeft", ""},
        {"[Einstellungen]\nCalcTop=1\n", "Einstellungen", "CalcLeft", std::nullopt},
        {"", "Einstellungen", "CalcLeft", std::nullopt},
        // NUL ends a value (and a name); line ends of every kind; bytes pass through.
        {"[Einstellungen]\nCalcLeft=12\0x\n"s, "Einstellungen", "CalcLeft", "12"},
        {"[Einstellungen]\nCalcLeft\0zz=5\n"s, "Einstellungen", "CalcLeft", "5"},
        {"[Einstellungen]\rCalcLeft=5\r", "Einstellungen", "CalcLeft", "5"},
        {"[Other]\r\r\n\n[Einstellungen]\n\rCalcLeft=5", "Einstellungen", "CalcLeft", "5"},
        {"[Einstellungen]\nCalcLeft=\xe4\xf6\x80\n", "Einstellungen", "CalcLeft", "\xe4\xf6\x80"},
        // Text this format cannot be: UTF-16 and binary garbage hold nothing.
        {"\xFF\xFE[\0E\0]\0"s, "E", "CalcLeft", std::nullopt},
        {"\x01\x02\xff\0garbage=1\x7f"s, "Einstellungen", "CalcLeft", std::nullopt},
    };
    for (const ReadCase& c : cases) {
        EXPECT_EQ(ReadProfileValue(c.File, c.Section, c.Name), c.Expected)
            << "file \"" << Visible(c.File) << "\", section \"" << c.Section << "\", name \""
            << c.Name << "\"";
    }
}

struct WriteCase {
    std::string Before;
    std::string Name;
    std::string Value;
    std::string After;
};

TEST(WithProfileValue, ChangesOnlyTheEntrysLineOrAddsOne) {
    const std::vector<WriteCase> cases = {
        // Replaced in its line; spacing, case, comments and line ends around it stay.
        {"; host settings\r\n[Einstellungen]\r\n  calcleft  =  5  \r\nCalcTop=1\r\n", "CalcLeft",
         "741", "; host settings\r\n[Einstellungen]\r\n  calcleft  =  741  \r\nCalcTop=1\r\n"},
        {"[Einstellungen]\nCalcLeft=\"5\"\n", "CalcLeft", "7", "[Einstellungen]\nCalcLeft=7\n"},
        {"[Einstellungen]\nCalcLeft=12\0junk\n"s, "CalcLeft", "7", "[Einstellungen]\nCalcLeft=7\n"},
        {"[Einstellungen]\nCalcLeft=\n", "CalcLeft", "7", "[Einstellungen]\nCalcLeft=7\n"},
        {"[Einstellungen]\nCalcLeft=   \n", "CalcLeft", "7", "[Einstellungen]\nCalcLeft=7   \n"},
        {"[Einstellungen]\n  CalcLeft  \n", "CalcLeft", "7", "[Einstellungen]\n  CalcLeft=7  \n"},
        {"[Einstellungen]\nCalcLeft=1\nCalcLeft=2\n", "CalcLeft", "7",
         "[Einstellungen]\nCalcLeft=7\nCalcLeft=2\n"},
        {"[Einstellungen]\rCalcLeft=5", "CalcLeft", "-50", "[Einstellungen]\rCalcLeft=-50"},
        // A new entry is the last line of the first section of the name.
        {"[Einstellungen]\r\nA=1\r\n\r\n[Other]\r\nB=2\r\n", "CalcLeft", "7",
         "[Einstellungen]\r\nA=1\r\nCalcLeft=7\r\n\r\n[Other]\r\nB=2\r\n"},
        {"[Einstellungen]\nA=1\n[Other]\nB=2\n[einstellungen]\nCalcLeft=1\n", "CalcLeft", "7",
         "[Einstellungen]\nA=1\nCalcLeft=7\n[Other]\nB=2\n[einstellungen]\nCalcLeft=1\n"},
        {"[Einstellungen]\n[Other]\n", "CalcLeft", "7", "[Einstellungen]\nCalcLeft=7\n[Other]\n"},
        {"[Einstellungen]\nA=1", "CalcLeft", "7", "[Einstellungen]\nA=1\nCalcLeft=7\n"},
        // A new section goes at the end, in the file's line-end style.
        {"[Other]\r\nB=2", "CalcLeft", "7", "[Other]\r\nB=2\r\n[Einstellungen]\r\nCalcLeft=7\r\n"},
        {"[Other]\nB=2\n", "CalcLeft", "7", "[Other]\nB=2\n[Einstellungen]\nCalcLeft=7\n"},
        {"[Other]\rB=2\r", "CalcLeft", "7", "[Other]\rB=2\r[Einstellungen]\rCalcLeft=7\r"},
        {"", "CalcLeft", "7", "[Einstellungen]\r\nCalcLeft=7\r\n"},
        {"\xEF\xBB\xBF[Other]\n", "CalcLeft", "7",
         "\xEF\xBB\xBF[Other]\n[Einstellungen]\nCalcLeft=7\n"},
        {"\x01\x02\xff\0garbage"s, "CalcLeft", "7",
         "\x01\x02\xff\0garbage\r\n[Einstellungen]\r\nCalcLeft=7\r\n"s},
        // The value already stored changes nothing.
        {"[Einstellungen]\nCalcLeft = \"7\" ", "CalcLeft", "7",
         "[Einstellungen]\nCalcLeft = \"7\" "},
        {"[Einstellungen]\nCalcLeft=", "CalcLeft", "", "[Einstellungen]\nCalcLeft="},
    };
    for (const WriteCase& c : cases) {
        const std::string after = WithProfileValue(c.Before, "Einstellungen", c.Name, c.Value);
        EXPECT_EQ(Visible(after), Visible(c.After))
            << "writing " << c.Name << "=" << c.Value << " into \"" << Visible(c.Before) << "\"";
        EXPECT_EQ(ReadProfileValue(after, "Einstellungen", c.Name), c.Value)
            << "re-reading " << c.Name << " after writing into \"" << Visible(c.Before) << "\"";
    }
}

// A release stores both coordinates in one edit: each value where its entry is, in whatever
// order the file has them, and the missing ones together where one alone would go.
TEST(WithProfileValues, WritesSeveralEntriesInOneEdit) {
    const SettingValues position = {{"CalcLeft", "530"}, {"CalcTop", "120"}};
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"[Einstellungen]\r\nCalcTop=1\r\nX=y\r\nCalcLeft=2\r\n",
         "[Einstellungen]\r\nCalcTop=120\r\nX=y\r\nCalcLeft=530\r\n"},
        {"[Einstellungen]\nCalcTop=1\n[Other]\nA=1\n",
         "[Einstellungen]\nCalcTop=120\nCalcLeft=530\n[Other]\nA=1\n"},
        {"[Einstellungen]\nCalcLeft=530", "[Einstellungen]\nCalcLeft=530\nCalcTop=120\n"},
        {"[Einstellungen]\nCalcLeft", "[Einstellungen]\nCalcLeft=530\nCalcTop=120\n"},
        {"[Other]\nA=1\n", "[Other]\nA=1\n[Einstellungen]\nCalcLeft=530\nCalcTop=120\n"},
        {"", "[Einstellungen]\r\nCalcLeft=530\r\nCalcTop=120\r\n"},
        {"[Einstellungen]\r\nCalcTop=120\r\nCalcLeft=530",
         "[Einstellungen]\r\nCalcTop=120\r\nCalcLeft=530"},
    };
    for (const auto& [before, expected] : cases) {
        const std::string after = WithProfileValues(before, "Einstellungen", position);
        EXPECT_EQ(Visible(after), Visible(expected)) << "into \"" << Visible(before) << "\"";
        for (const auto& [name, value] : position) {
            EXPECT_EQ(ReadProfileValue(after, "Einstellungen", name), value)
                << "re-reading " << name << " after writing into \"" << Visible(before) << "\"";
        }
    }
    EXPECT_THROW(WithProfileValues("", "Einstellungen", {{"CalcLeft", "1"}, {"calcleft", "2"}}),
                 std::invalid_argument)
        << "one entry named twice";
}

TEST(WithProfileValue, RefusesWhatWouldBreakTheFile) {
    const std::string file = "[Einstellungen]\r\nCalcLeft=1\r\n";
    for (const std::string& value : {"1\r\n[Other]"s, "1\n"s, "1\r"s, "1\0 2"s}) {
        EXPECT_THROW(WithProfileValue(file, "Einstellungen", "CalcLeft", value),
                     std::invalid_argument)
            << "value \"" << Visible(value) << "\"";
    }
    for (const std::string& name : {""s, "Calc=Left"s, "[CalcLeft]"s, " CalcLeft"s, "A\nB"s}) {
        EXPECT_THROW(WithProfileValue(file, "Einstellungen", name, "1"), std::invalid_argument)
            << "name \"" << Visible(name) << "\"";
    }
    EXPECT_THROW(WithProfileValue("\xFF\xFE[\0E\0]\0"s, "Einstellungen", "CalcLeft", "1"),
                 std::runtime_error)
        << "a UTF-16 file";
}

TEST(ProfileFileStore, CutsTheValueToTheBufferAndFallsBackToTheDefault) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    ProfileFileStore store(file);
    EXPECT_EQ(store.ReadString("Einstellungen", "CalcLeft", "none", 300), "none") << "no file";

    WriteBytes(file, "[Einstellungen]\r\nCalcLeft=" + std::string(400, 'a') + "\r\nCalcTop=12\r\n");
    struct BufferCase {
        std::string Name;
        std::string Default;
        std::size_t BufferSize;
        std::string Expected;
    };
    const std::vector<BufferCase> cases = {
        {"CalcLeft", "", 300, std::string(299, 'a')},
        {"CalcTop", "", 300, "12"},
        {"CalcTop", "", 2, "1"},
        {"CalcTop", "", 1, ""},
        {"CalcTop", "", 0, ""},
        {"Missing", "Default  ", 300, "Default"},
        {"Missing", "Default", 4, "Def"},
    };
    for (const BufferCase& c : cases) {
        EXPECT_EQ(store.ReadString("Einstellungen", c.Name, c.Default, c.BufferSize), c.Expected)
            << c.Name << " with default \"" << c.Default << "\" into " << c.BufferSize
            << " characters";
    }
}

TEST(ProfileFileStore, ReplacesAValueLongerThanAnyLineWhole) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    ProfileFileStore store(file);
    WriteBytes(file,
               "[Einstellungen]\r\nCalcLeft=" + std::string(1 << 20, '7') + "  \r\nCalcTop=12\r\n");
    EXPECT_EQ(store.ReadStrings("Einstellungen", {"CalcTop", "CalcLeft"}, "", 300),
              (std::vector<std::string>{"12", std::string(299, '7')}));
    store.WriteStrings("Einstellungen", {{"CalcLeft", "10"}});
    EXPECT_EQ(Visible(ReadBytes(file)), "[Einstellungen]\\r\\nCalcLeft=10\\r\\nCalcTop=12\\r\\n");
}

TEST(ProfileFileStore, CreatesDirectoryAndFileAndKeepsEveryOtherByte) {
    ScratchDirectory scratch;
    const auto file = scratch / "Tembra-Lidorn" / "Quenvik.ini";
    ProfileFileStore store(file);
    store.WriteStrings("Einstellungen", {{"CalcLeft", "741"}});
    EXPECT_EQ(Visible(ReadBytes(file)), Visible("[Einstellungen]\r\nCalcLeft=741\r\n"))
        << "new directory and file";

    const std::string host =
        "; Tembra Lidorn\n[Konten]\nGiro = 1200,50 ; Stand\n\n[Einstellungen]\nCalcLeft=741\n"
        "Farbe=\"blau\"\n\n[Fenster]\r\nBreite=800";
    WriteBytes(file, host);
    store.WriteStrings("Einstellungen", {{"CalcLeft", "12"}});
    store.WriteStrings("Einstellungen", {{"CalcTop", "34"}});
    EXPECT_EQ(Visible(ReadBytes(file)),
              Visible("; Tembra Lidorn\n[Konten]\nGiro = 1200,50 ; Stand\n\n[Einstellungen]\n"
                      "CalcLeft=12\nFarbe=\"blau\"\nCalcTop=34\n\n[Fenster]\r\nBreite=800"))
        << "host file after writing CalcLeft=12 and CalcTop=34";
}

TEST(ProfileFileStore, LeavesAReadOnlyFileAlone) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    const std::string host = "[Einstellungen]\nCalcLeft=5\n";
    WriteBytes(file, host);
    std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    ProfileFileStore store(file);
    EXPECT_NO_THROW(store.WriteStrings("Einstellungen", {{"CalcLeft", "5"}})) << "same value";
    EXPECT_THROW(store.WriteStrings("Einstellungen", {{"CalcLeft", "6"}}), std::runtime_error)
        << "new value into a read-only file";
    EXPECT_EQ(ReadBytes(file), host) << "read-only file";
}

// Text in UTF-16 units of the byte order given, each unit written as its two bytes; characters
// of `text` are single bytes, `\x01` marks the place of `wide`, a unit beyond one byte.
std::string Utf16Units(std::string_view text, unsigned wide, bool bigEndian) {
    std::string bytes;
    for (char c : text) {
        const unsigned unit = c == '\x01' ? wide : static_cast<unsigned char>(c);
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// The host's file in UTF-16 with its byte order mark, as the platform keeps a profile file that
// was created in Unicode: read, and written back in the same byte order.
TEST(ProfileFileStore, ReadsAndWritesAUtf16FileInItsOwnByteOrder) {
    for (const bool bigEndian : {false, true}) {
        const char* order = bigEndian ? "UTF-16BE" : "UTF-16LE";
        ScratchDirectory scratch;
        const auto file = scratch / "Quenvik.ini";
        const std::string mark = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
        // "Konto=\u20AC 5" and a CJK character the single-byte text shows as "?".
        auto hostFile = [&](std::string_view settings) {
            return mark + Utf16Units("[Konten]\r\nKonto=\x01 5", 0x20AC, bigEndian) +
                   Utf16Units("\x01", 0x4E2D, bigEndian) +
                   Utf16Units(std::string("\r\n[Einstellungen]\r\n").append(settings), 0,
                              bigEndian);
        };
        WriteBytes(file, hostFile("CalcLeft=300\r\n"));
        ProfileFileStore store(file);
        EXPECT_EQ(store.ReadString("Einstellungen", "CalcLeft", "", 300), "300") << order;
        EXPECT_EQ(store.ReadString("Konten", "Konto", "", 300), "? 5?") << order;
        store.WriteStrings("Einstellungen", {{"CalcLeft", "-5"}, {"CalcTop", "\xE4"}});
        EXPECT_EQ(Visible(ReadBytes(file)), Visible(hostFile("CalcLeft=-5\r\nCalcTop=\xE4\r\n")))
            << order;
        EXPECT_EQ(store.ReadString("Einstellungen", "CalcTop", "", 300), "\xE4") << order;
    }
}

}  // namespace
