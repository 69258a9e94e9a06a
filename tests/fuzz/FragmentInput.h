#pragma once
// Turns fuzzer bytes into a settings file. Half of the inputs are the file itself; the other half
// are one byte per fragment of a table of the format's pieces (headers, names, line breaks,
// backslashes), so that the fuzzer reaches well-formed and nearly well-formed files quickly.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The first byte chooses: even means raw bytes follow, odd means fragment numbers follow.
inline std::string FileFromInput(std::string_view input,
                                 std::span<const std::string_view> fragments) {
    if (input.empty() || static_cast<unsigned char>(input[0]) % 2 == 0) {
        return std::string(input.empty() ? input : input.substr(1));
    }
    std::string file;
    for (const char c : input.substr(1)) {
        file += fragments[static_cast<unsigned char>(c) % fragments.size()];
    }
    return file;
}

struct SettingsFuzzInput {
    std::string_view Value;  // what the fuzzer writes into the file
    std::string File;
};

// The first byte picks the value to write from values; the rest makes the file.
inline std::optional<SettingsFuzzInput> SettingsInput(const std::uint8_t* data, std::size_t size,
                                                      std::span<const std::string_view> values,
                                                      std::span<const std::string_view> fragments) {
    if (size == 0) {
        return std::nullopt;
    }
    return SettingsFuzzInput{
        values[data[0] % values.size()],
        FileFromInput(std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1),
                      fragments)};
}
