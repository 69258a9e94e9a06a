// Typed characters from WM_CHAR; see CharacterInput.h.
#include "CharacterInput.h"

#include <cstdint>

namespace {

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::optional<char32_t> SurrogateJoiner::Add(wchar_t unit) {
    const char32_t code = static_cast<char32_t>(static_cast<std::uint16_t>(unit));
    if (IsHighSurrogate(code)) {
        // A high half after another high half: the first had no partner and is dropped.
        high_ = code;
        return std::nullopt;
    }
    if (high_ != 0 && IsLowSurrogate(code)) {
        const char32_t joined = 0x10000 + ((high_ - 0xD800) << 10) + (code - 0xDC00);
        high_ = 0;
        return joined;
    }
    high_ = 0;
    return code;
}

bool IsTypedCharacter(bool controlHeld, bool altHeld) {
    return !controlHeld || altHeld;
}
