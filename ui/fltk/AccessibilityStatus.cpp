// Whether to offer the calculator to screen readers; see AccessibilityStatus.h.
#include "AccessibilityStatus.h"

#include <array>

std::optional<std::string> SessionBusAddress(
    const char* addressVariable, const char* runtimeDirectory,
    const std::function<bool(const std::string& path)>& isSocket) {
    if (addressVariable != nullptr && *addressVariable != '\0') {
        return addressVariable;
    }
    // Without the variable libdbus would also try to launch a bus for the X display; a
    // calculator must not start one just to learn that nobody listens.
    if (runtimeDirectory == nullptr || *runtimeDirectory != '/') {
        return std::nullopt;
    }
    const std::string socket = std::string(runtimeDirectory) + "/bus";
    if (!isSocket(socket)) {
        return std::nullopt;
    }
    return "unix:path=" + EscapeBusAddressValue(socket);
}

std::string EscapeBusAddressValue(std::string_view value) {
    constexpr std::array<char, 16> Hex{'0', '1', '2', '3', '4', '5', '6', '7',
                                       '8', '9', 'a', 'b', 'c', 'd', 'e', 'f'};
    std::string escaped;
    for (const char character : value) {
        const auto byte = static_cast<unsigned char>(character);
        const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                           (byte >= '0' && byte <= '9') ||
                           std::string_view("-_/.\\*").find(character) != std::string_view::npos;
        if (plain) {
            escaped += character;
        } else {
            escaped += '%';
            escaped += Hex[byte >> 4];
            escaped += Hex[byte & 0x0f];
        }
    }
    return escaped;
}

void AccessibilityStatus::Update(std::string_view property, bool value) {
    if (property == "IsEnabled") {
        isEnabled_ = value;
    } else if (property == "ScreenReaderEnabled") {
        screenReaderEnabled_ = value;
    }
}
