// Reading and changing a settings file: exact bytes, created directories, nothing left behind,
// the failures that must leave the original alone, and lines that come out the same however the
// file's bytes arrive.

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include "AtomicFile.h"
#include "FileLines.h"
#include "SettingsTestSupport.h"

namespace {

using namespace std::string_literals;

TEST(EditSettingsFile, WritesExactBytesIntoNewDirectoriesAndLeavesNothingElse) {
    ScratchDirectory scratch;
    const auto file = scratch / "a" / "b" / "Quenvik.ini";
    for (const std::string& contents : {"first\r\n"s, "\0\r\r\n\n\xff"s, ""s, "x"s}) {
        ReplaceWhole(file, contents);
        EXPECT_EQ(ReadBytes(file), contents) << "contents \"" << Visible(contents) << "\"";
        EXPECT_EQ(ReadWhole(file), contents) << "contents \"" << Visible(contents) << "\"";
        for (const std::string& name : EntriesOf(file.parent_path())) {
            // Where writers share a lock, its file stays beside the settings file.
            EXPECT_TRUE(name == "Quenvik.ini" || name == ".Quenvik.ini.lock")
                << name << " left after writing \"" << Visible(contents) << "\"";
        }
    }
}

TEST(EditSettingsFile, FailsWithoutHarmWhereItCannotWrite) {
    ScratchDirectory scratch;
    WriteBytes(scratch / "blocker", "a file where a directory should be");
    EXPECT_THROW(ReplaceWhole(scratch / "blocker" / "Quenvik.ini", "x"), std::exception)
        << "directory path blocked by a file";
    EXPECT_EQ(ReadBytes(scratch / "blocker"), "a file where a directory should be");

    std::filesystem::create_directories(scratch / "Quenvik.ini");
    EXPECT_THROW(ReplaceWhole(scratch / "Quenvik.ini", "x"), std::runtime_error)
        << "a directory in place of the file";
    EXPECT_TRUE(std::filesystem::is_directory(scratch / "Quenvik.ini"));
    for (const std::string& name : EntriesOf(scratch.Path())) {
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << "temporary file left: " << name;
    }
}

TEST(ReadSettingsFile, TellsAMissingFileFromAnUnreadableOne) {
    ScratchDirectory scratch;
    EXPECT_EQ(ReadWhole(scratch / "missing.ini"), std::nullopt) << "missing file";
    EXPECT_EQ(ReadWhole(scratch / "missing" / "x.ini"), std::nullopt) << "missing directory";
    EXPECT_THROW(ReadWhole(scratch.Path()), std::runtime_error) << "a directory";
}

// Hands out the bytes in pieces of the given sizes in turn, as reads of a file may come.
class PiecewiseStream : public ByteStream {
public:
    PiecewiseStream(std::string_view bytes, std::vector<std::size_t> pieces)
        : bytes_(bytes), pieces_(std::move(pieces)) {}
    std::size_t ReadSome(char* buffer, std::size_t size) override {
        const std::size_t piece = pieces_[turn_++ % pieces_.size()];
        const std::size_t count = std::min({size, piece, bytes_.size()});
        std::copy_n(bytes_.data(), count, buffer);
        bytes_.remove_prefix(count);
        return count;
    }

private:
    std::string_view bytes_;
    std::vector<std::size_t> pieces_;
    std::size_t turn_ = 0;
};

std::string Lines(LineSource& source) {
    std::string shown;
    while (const std::optional<SourceLine> line = source.NextLine()) {
        shown += "[" + Visible(line->Text) + "|" + Visible(line->Break) + "@" +
                 std::to_string(line->Place.Begin) + "," + std::to_string(line->Place.End) + "," +
                 std::to_string(line->Place.Next) + "]";
    }
    return shown;
}

// The text's characters as UTF-16 units in the given byte order, after its byte order mark.
std::string Utf16(std::string_view text, TextEncoding order = TextEncoding::Utf16LittleEndian) {
    const bool big = order == TextEncoding::Utf16BigEndian;
    std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : text) {
        bytes += big ? '\0' : c;
        bytes += big ? c : '\0';
    }
    return bytes;
}

TEST(FileLines, SplitsAndDecodesAsTheTextInMemoryWhereverTheReadsEnd) {
    const std::string big(60000, 'k');  // lines that cross the reads' chunks
    struct Case {
        std::string Bytes;
        std::string Text;  // what the lines must add up to
        TextEncoding Encoding;
    };
    const Case cases[] = {
        {"a\r\nb\rc\nd", "a\r\nb\rc\nd", TextEncoding::SingleByte},
        {"\r\r\n\n\r", "\r\r\n\n\r", TextEncoding::SingleByte},
        {big + "\r\n" + big + "\r", big + "\r\n" + big + "\r", TextEncoding::SingleByte},
        {"\xFF", "\xFF", TextEncoding::SingleByte},
        {"\xFE\xFE\0a"s, "\xFE\xFE\0a"s, TextEncoding::SingleByte},
        {Utf16("[A]\r\nx=1\r"), "[A]\r\nx=1\r", TextEncoding::Utf16LittleEndian},
        {Utf16("[A]\r\nx=1\r", TextEncoding::Utf16BigEndian), "[A]\r\nx=1\r",
         TextEncoding::Utf16BigEndian},
        {"\xFE\xFF\x20\xAC\x00\x0A"s, "?\n", TextEncoding::Utf16BigEndian},
        // A unit beyond one byte is "?", also where its bytes look like a line break.
        {"\xFF\xFE\x0A\x0D\x41\x00\xAC\x20\x0A\x00"s, "?A?\n", TextEncoding::Utf16LittleEndian},
        {"\xFF\xFE"
         "a"s,
         "", TextEncoding::Utf16LittleEndian},
    };
    for (const Case& test : cases) {
        TextLineSource inMemory(test.Text);
        const std::string expected = Lines(inMemory);
        for (const std::vector<std::size_t>& pieces :
             {std::vector<std::size_t>{1}, {1, 2, 3}, {5}, {65536}, {1 << 20}}) {
            PiecewiseStream stream(test.Bytes, pieces);
            FileLines lines(stream);
            EXPECT_EQ(Lines(lines), expected) << "file \"" << Visible(test.Bytes.substr(0, 40))
                                              << "\" read in pieces of " << pieces.front() << "...";
            EXPECT_EQ(lines.Encoding(), test.Encoding) << Visible(test.Bytes.substr(0, 40));
        }
    }
}

// `size` bytes of one repeated byte, then `tail`, made as they are read: a file far larger than
// anything the test holds.
class RepeatedByteStream : public ByteStream {
public:
    RepeatedByteStream(std::string head, char byte, std::size_t size, std::string tail)
        : head_(std::move(head)), byte_(byte), left_(size), tail_(std::move(tail)) {}
    std::size_t ReadSome(char* buffer, std::size_t size) override {
        std::string& text = !head_.empty() ? head_ : tail_;
        if (left_ == 0 || !head_.empty()) {
            const std::size_t count = std::min(size, text.size());
            std::copy_n(text.data(), count, buffer);
            text.erase(0, count);
            return count;
        }
        const std::size_t count = std::min(size, left_);
        std::fill_n(buffer, count, byte_);
        left_ -= count;
        return count;
    }

private:
    std::string head_;
    char byte_;
    std::size_t left_;
    std::string tail_;
};

TEST(FileLines, HandsOutALongLineCutWithItsWholePlace) {
    constexpr std::size_t Size = LongestReadLine - 4;
    struct Case {
        std::string Head;  // before the long run of bytes
        char Byte;
        std::string Tail;  // after it
        std::string Break;
        std::size_t Next;    // where the line after it starts, in characters
        std::string Second;  // that line's text
    };
    const Case cases[] = {
        {"", '\0', "\r\n[A]", "\r\n", Size + 2, "[A]"},
        {"x=", '7', "\r", "\r", Size + 3, "(none)"},
        {"\xFF\xFE", '\0', "\n\0[\0A\0]\0"s, "\n", Size / 2 + 1, "[A]"},
        {"", ' ', "", "", Size, "(none)"},
    };
    for (const Case& test : cases) {
        RepeatedByteStream stream(test.Head, test.Byte, Size, test.Tail);
        FileLines lines(stream);
        const std::optional<SourceLine> first = lines.NextLine();
        ASSERT_TRUE(first.has_value());
        EXPECT_TRUE(first->Cut);
        EXPECT_EQ(first->Text.size(), LongestLine);
        EXPECT_EQ(first->Break, test.Break);
        EXPECT_EQ(first->Place.Begin, 0u);
        EXPECT_EQ(first->Place.End + test.Break.size(), first->Place.Next);
        EXPECT_EQ(first->Place.Next, test.Next);
        const std::optional<SourceLine> second = lines.NextLine();
        EXPECT_EQ(second ? std::string(second->Text) : "(none)", test.Second)
            << Visible(test.Head) << " " << Visible(test.Tail);
    }
    // A file of NULs as a crash leaves it fails to read soon, however large it is.
    RepeatedByteStream nuls("", '\0', std::numeric_limits<std::size_t>::max(), "");
    FileLines lines(nuls);
    EXPECT_THROW(lines.NextLine(), std::runtime_error);
}

TEST(FileLines, EditsAreWrittenInTheFilesEncoding) {
    // Two edits: "x" becomes "\xE4=" and "!" goes in after the fifth character.
    const TextEdits edits = {{3, 5, "\xE4="}, {5, 5, "!"}};
    const std::string text = "[A]x=1";
    const std::string edited = "[A]\xE4=!1";
    for (const TextEncoding encoding : {TextEncoding::SingleByte, TextEncoding::Utf16LittleEndian,
                                        TextEncoding::Utf16BigEndian}) {
        const std::string before =
            encoding == TextEncoding::SingleByte ? text : Utf16(text, encoding);
        const std::string after =
            encoding == TextEncoding::SingleByte ? edited : Utf16(edited, encoding);
        std::string bytes;
        std::size_t kept = 0;
        for (const ByteEdit& edit : ToBytes(edits, encoding)) {
            const auto keepBefore = static_cast<std::size_t>(edit.KeepBefore);
            bytes.append(before, kept, keepBefore - kept).append(edit.Inserted);
            kept = static_cast<std::size_t>(edit.ResumeAt);
        }
        bytes.append(before, kept);
        EXPECT_EQ(Visible(bytes), Visible(after)) << "encoding " << static_cast<int>(encoding);
    }
}

}  // namespace
