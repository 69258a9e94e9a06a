#pragma once
// What the two platform halves of AtomicFile share, and nobody else uses: the temporary files'
// names and the edit of a file's lines in the file's own encoding.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "AtomicFile.h"
#include "FileLines.h"

// A fresh hidden name beside the file for the writer with the process id `writer`:
// ".<name>.tmp-", the id in decimal, "-" and 16 hex digits. A writer killed in the middle of a
// write leaves its file behind, and the id tells the next writer whether it still runs.
std::filesystem::path TemporarySibling(const std::filesystem::path& file, unsigned long writer);
// The writer's process id when a name in the file's directory is one of those, else nullopt.
std::optional<unsigned long> TemporarySiblingWriter(std::string_view name,
                                                    const std::filesystem::path& file);

// The edits `edit` makes of a file's lines, in the file's bytes. `stream` is null for a file
// that does not exist yet, which has no lines and is written in single bytes.
std::vector<ByteEdit> EditFileLines(ByteStream* stream, const SettingsFileEdit& edit);
