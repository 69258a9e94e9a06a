#pragma once
// What the settings tests share: a scratch directory per test, whole-file helpers that bypass
// the code under test, and a readable form of file bytes for failure messages.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "AtomicFile.h"

// A fresh empty directory under the system's temporary directory, removed with everything in it
// when the test ends.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("rechner-settings-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~ScratchDirectory() {
        // Read-only files from the tests cannot be deleted on Windows until they are writable.
        std::error_code ignored;
        using Entries = std::filesystem::recursive_directory_iterator;
        for (Entries entry(path_, ignored); entry != Entries(); entry.increment(ignored)) {
            std::filesystem::permissions(entry->path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        }
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream stream(file, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(stream.good()) << "writing " << file;
}

inline std::string ReadBytes(const std::filesystem::path& file) {
    std::ifstream stream(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

// Control characters and bytes above ASCII as \r, \n, \0 and \xNN, so that a message shows
// exactly which file was meant.
inline std::string Visible(std::string_view bytes) {
    std::string shown;
    for (char c : bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (c == '\0') {
            shown += "\\0";
        } else if (code < 0x20 || code >= 0x7F) {
            shown += "\\x";
            shown += "0123456789abcdef"[code >> 4];
            shown += "0123456789abcdef"[code & 0xF];
        } else {
            shown += c;
        }
    }
    return shown;
}

// The names of the directory's entries, sorted, to see what a write left behind.
inline std::vector<std::string> EntriesOf(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Puts `contents` in place of the whole file through EditSettingsFile.
inline void ReplaceWhole(const std::filesystem::path& file, std::string_view contents) {
    EditSettingsFile(file, [&](LineSource& lines) {
        std::size_t end = 0;
        while (const std::optional<SourceLine> line = lines.NextLine()) {
            end = line->Place.Next;
        }
        return TextEdits{{0, end, std::string(contents)}};
    });
}

// The file's text as ReadSettingsFile hands it out; nullopt when the file does not exist.
inline std::optional<std::string> ReadWhole(const std::filesystem::path& file) {
    std::string text;
    const bool exists = ReadSettingsFile(file, [&](LineSource& lines) {
        while (const std::optional<SourceLine> line = lines.NextLine()) {
            text.append(line->Text).append(line->Break);
        }
    });
    return exists ? std::optional<std::string>(text) : std::nullopt;
}
