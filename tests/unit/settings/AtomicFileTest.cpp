// Whole-file reading and replacing: exact bytes, created directories, nothing left behind, and
// the failures that must leave the original alone.

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "AtomicFile.h"
#include "SettingsTestSupport.h"

namespace {

using namespace std::string_literals;

TEST(ReplaceFileAtomically, WritesExactBytesIntoNewDirectoriesAndLeavesNothingElse) {
    ScratchDirectory scratch;
    const auto file = scratch / "a" / "b" / "Quenvik.ini";
    for (const std::string& contents : {"first\r\n"s, "\0\r\r\n\n\xff"s, ""s, "x"s}) {
        ReplaceFileAtomically(file, contents);
        EXPECT_EQ(ReadBytes(file), contents) << "contents \"" << Visible(contents) << "\"";
        EXPECT_EQ(ReadFileIfExists(file), contents) << "contents \"" << Visible(contents) << "\"";
        EXPECT_EQ(EntriesOf(file.parent_path()), std::vector<std::string>{"Quenvik.ini"})
            << "after writing \"" << Visible(contents) << "\"";
    }
}

TEST(ReplaceFileAtomically, FailsWithoutHarmWhereItCannotWrite) {
    ScratchDirectory scratch;
    WriteBytes(scratch / "blocker", "a file where a directory should be");
    EXPECT_THROW(ReplaceFileAtomically(scratch / "blocker" / "Quenvik.ini", "x"), std::exception)
        << "directory path blocked by a file";
    EXPECT_EQ(ReadBytes(scratch / "blocker"), "a file where a directory should be");

    std::filesystem::create_directories(scratch / "Quenvik.ini");
    EXPECT_THROW(ReplaceFileAtomically(scratch / "Quenvik.ini", "x"), std::runtime_error)
        << "a directory in place of the file";
    EXPECT_TRUE(std::filesystem::is_directory(scratch / "Quenvik.ini"));
    EXPECT_EQ(EntriesOf(scratch.Path()), (std::vector<std::string>{"Quenvik.ini", "blocker"}))
        << "no temporary file may stay behind";
}

TEST(ReadFileIfExists, TellsAMissingFileFromAnUnreadableOne) {
    ScratchDirectory scratch;
    EXPECT_EQ(ReadFileIfExists(scratch / "missing.ini"), std::nullopt) << "missing file";
    EXPECT_EQ(ReadFileIfExists(scratch / "missing" / "x.ini"), std::nullopt) << "missing directory";
    EXPECT_THROW(ReadFileIfExists(scratch.Path()), std::runtime_error) << "a directory";
}

}  // namespace
