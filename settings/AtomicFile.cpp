// The portable part of the settings file access: naming the temporary files and making an edit
// in the file's encoding.
#include "AtomicFileParts.h"

#include <cstdint>
#include <random>
#include <string>
#include <utility>

namespace {

constexpr std::string_view HexDigits = "0123456789abcdef";
constexpr std::size_t TagDigits = 16;

std::string TemporaryPrefix(const std::filesystem::path& file) {
    return std::string(".").append(file.filename().string()).append(".tmp-");
}

}  // namespace

std::filesystem::path TemporarySibling(const std::filesystem::path& file) {
    std::random_device random;
    const std::uint64_t tag = (std::uint64_t{random()} << 32) | random();
    std::string name = TemporaryPrefix(file);
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += HexDigits[(tag >> shift) & 0xF];
    }
    return file.parent_path() / name;
}

bool IsTemporarySiblingName(std::string_view name, const std::filesystem::path& file) {
    const std::string prefix = TemporaryPrefix(file);
    if (!name.starts_with(prefix) || name.size() != prefix.size() + TagDigits) {
        return false;
    }
    return name.substr(prefix.size()).find_first_not_of(HexDigits) == std::string_view::npos;
}

std::vector<ByteEdit> EditFileLines(ByteStream* stream, const SettingsFileEdit& edit) {
    if (stream == nullptr) {
        TextLineSource nothing("");
        return ToBytes(edit(nothing), TextEncoding::SingleByte);
    }
    FileLines lines(*stream);
    const TextEdits edits = edit(lines);
    return ToBytes(edits, lines.Encoding());
}
