#pragma once
// Reading and changing the settings files shared with the host. A file is read a line at a time
// and changed by one edit; the changed file is written beside the original, flushed to the disk
// and renamed over it, so a crash, a kill or a full disk leaves either the old file or the new
// one, never a mixture and never an empty file.

#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "FileLines.h"
#include "TextLines.h"

// Calls `read` with the file's lines; returns false, without calling it, when the file does not
// exist. Throws std::runtime_error when it exists but cannot be read.
bool ReadSettingsFile(const std::filesystem::path& file,
                      const std::function<void(LineSource&)>& read);

// The edit `edit` makes, given the file's lines (none when it does not exist yet), or nullopt to
// leave the file alone.
using SettingsFileEdit = std::function<std::optional<TextEdit>(LineSource&)>;

// Creates the directory if needed and makes the edit. `edit` may be called again with the
// file's new lines when someone else changed the file meanwhile. A read-only file is left alone,
// as the platform refuses to write it. Throws std::runtime_error (or
// std::filesystem::filesystem_error) on any failure; the original then stays as it was.
void EditSettingsFile(const std::filesystem::path& file, const SettingsFileEdit& edit);

// For the platform halves: a fresh hidden name beside the file, ".<name>.tmp-" and 16 hex
// digits, and whether a name in its directory is one of those.
std::filesystem::path TemporarySibling(const std::filesystem::path& file);
bool IsTemporarySiblingName(std::string_view name, const std::filesystem::path& file);

// For the platform halves: the edit `edit` makes of a file's lines, in the file's encoding.
// `stream` is null for a file that does not exist yet, which has no lines and is written in
// single bytes.
struct EncodedEdit {
    std::optional<TextEdit> Change;
    TextEncoding Encoding = TextEncoding::SingleByte;
};
EncodedEdit EditFileLines(ByteStream* stream, const SettingsFileEdit& edit);
