// The portable part of the settings file access: naming the temporary files and making an edit
// in the file's encoding.
#include "AtomicFileParts.h"

#include <charconv>
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

std::filesystem::path TemporarySibling(const std::filesystem::path& file, unsigned long writer) {
    std::random_device random;
    const std::uint64_t tag = (std::uint64_t{random()} << 32) | random();
    std::string name = TemporaryPrefix(file).append(std::to_string(writer)).append("-");
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += HexDigits[(tag >> shift) & 0xF];
    }
    return file.parent_path() / name;
}

std::optional<unsigned long> TemporarySiblingWriter(std::string_view name,
                                                    const std::filesystem::path& file) {
    const std::string prefix = TemporaryPrefix(file);
    if (!name.starts_with(prefix)) {
        return std::nullopt;
    }
    name.remove_prefix(prefix.size());
    unsigned long writer = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), writer);
    const std::string_view tag(end, static_cast<std::size_t>(name.data() + name.size() - end));
    if (error != std::errc() || end == name.data() || name.front() == '0' ||
        tag.size() != TagDigits + 1 || tag.front() != '-' ||
        tag.find_first_not_of(HexDigits, 1) != std::string_view::npos) {
        return std::nullopt;
    }
    return writer;
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
