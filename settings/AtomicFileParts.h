#pragma once
// What the two platform halves of AtomicFile share, and nobody else uses: the temporary files'
// names and the edit of a file's lines in the file's own encoding.

#include <filesystem>
#include <string_view>
#include <vector>

#include "AtomicFile.h"
#include "FileLines.h"

// A fresh hidden name beside the file, ".<name>.tmp-" and 16 hex digits, and whether a name in
// its directory is one of those.
std::filesystem::path TemporarySibling(const std::filesystem::path& file);
bool IsTemporarySiblingName(std::string_view name, const std::filesystem::path& file);

// The edits `edit` makes of a file's lines, in the file's bytes. `stream` is null for a file
// that does not exist yet, which has no lines and is written in single bytes.
std::vector<ByteEdit> EditFileLines(ByteStream* stream, const SettingsFileEdit& edit);
