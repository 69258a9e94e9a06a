#pragma once
// Whole-file reading and replacing for the small settings files shared with the host. A
// replacement is written to a new file beside the original, flushed to the disk and renamed over
// it, so a crash, a kill or a full disk leaves either the old file or the new one, never a
// mixture and never an empty file.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The file's bytes; nullopt when it does not exist. Throws std::runtime_error when it exists but
// cannot be read.
std::optional<std::string> ReadFileIfExists(const std::filesystem::path& file);

// Creates the directory if needed and puts `contents` in place of the file. A read-only file is
// left alone, as the platform refuses to write it. Throws std::runtime_error (or
// std::filesystem::filesystem_error) on any failure; the original then stays as it was.
void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view contents);

// For the platform halves of ReplaceFileAtomically: a fresh hidden name beside the file.
std::filesystem::path TemporarySibling(const std::filesystem::path& file);
