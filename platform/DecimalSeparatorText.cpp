// Choosing usable separators from a locale's texts.

#include "DecimalSeparatorText.h"

#include <string_view>

namespace {

// How many bytes the UTF-8 character that begins with lead has; 0 when lead cannot begin one.
std::size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    return 0;
}

}  // namespace

char DecimalSeparatorFromText(const char* text) {
    if (text == nullptr) {
        return '.';
    }
    const char first = text[0];
    return first > ' ' && first < '\x7f' ? first : '.';
}

std::string ThousandsSeparatorFromText(const char* text) {
    if (text == nullptr) {
        return {};
    }
    const std::string_view separator(text);
    if (separator.empty() ||
        Utf8Length(static_cast<unsigned char>(separator[0])) != separator.size()) {
        return {};
    }
    for (std::size_t i = 1; i < separator.size(); ++i) {
        if ((static_cast<unsigned char>(separator[i]) & 0xC0) != 0x80) {
            return {};
        }
    }
    const char first = separator[0];
    const bool visibleAscii = first >= ' ' && first < '\x7f' && (first < '0' || first > '9');
    return separator.size() > 1 || visibleAscii ? std::string(separator) : std::string();
}
