// Any text through TextToInteger, against a reference built differently (std::from_chars on the
// digits, with the length limits checked separately), and the round trips of every valid value
// through its decimal and "$" texts.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzRequire.h"
#include "Placement.h"

namespace {

std::optional<std::int32_t> Reference(std::string_view text) {
    while (text.starts_with(' ')) {
        text.remove_prefix(1);
    }
    int base = 10;
    bool negative = false;
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (text.starts_with(prefix)) {
            base = 16;
            text.remove_prefix(prefix.size());
            break;
        }
    }
    if (base == 10 && (text.starts_with('+') || text.starts_with('-'))) {
        negative = text.starts_with('-');
        text.remove_prefix(1);
    }
    // from_chars would take a sign of its own; only digits may follow here.
    if (text.empty() || text.starts_with('-') || text.starts_with('+')) {
        return std::nullopt;
    }
    const std::size_t firstSignificant = text.find_first_not_of('0');
    const std::string_view significant =
        firstSignificant == std::string_view::npos ? "0" : text.substr(firstSignificant);
    if (significant.size() > (base == 16 ? 8u : 10u)) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    if (base == 16) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(value);
}

std::string HexText(std::int32_t value) {
    char digits[16];
    const auto result =
        std::to_chars(digits, digits + sizeof digits, static_cast<std::uint32_t>(value), 16);
    return "$" + std::string(digits, result.ptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<std::int32_t> value = TextToInteger(text);
    Require(value == Reference(text), "agrees with the reference", text);
    Require(TextToInteger("  " + text) == value, "leading spaces change nothing", text);
    if (!value) {
        return 0;
    }
    Require(!TextToInteger(text + " ").has_value(), "a trailing blank is invalid", text);
    Require(TextToInteger(std::to_string(*value)) == value, "the decimal text reads back", text);
    Require(TextToInteger(HexText(*value)) == value, "the $ text reads back", text);
    return 0;
}
