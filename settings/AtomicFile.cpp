// The portable half of the settings file access: reading, and naming the temporary file.
#include "AtomicFile.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

std::optional<std::string> ReadFileIfExists(const std::filesystem::path& file) {
    std::error_code error;
    const auto status = std::filesystem::status(file, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return std::nullopt;
    }
    if (error || status.type() != std::filesystem::file_type::regular) {
        throw std::runtime_error("cannot read " + file.string());
    }
    std::ifstream stream(file, std::ios::binary);
    std::string contents{std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
    if (!stream.is_open() || stream.bad()) {
        throw std::runtime_error("cannot read " + file.string());
    }
    return contents;
}

std::filesystem::path TemporarySibling(const std::filesystem::path& file) {
    std::random_device random;
    const std::uint64_t tag = (std::uint64_t{random()} << 32) | random();
    std::string name = std::string(".").append(file.filename().string()).append(".tmp-");
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += "0123456789abcdef"[(tag >> shift) & 0xF];
    }
    return file.parent_path() / name;
}
