// The length of the clipboard text a paste reads; see ClipboardText.h.
#include "ClipboardText.h"

namespace {

bool StartsCharacter(char unit) {
    return (static_cast<unsigned char>(unit) & 0xC0) != 0x80;
}

bool StartsCharacter(wchar_t unit) {
    return unit < 0xDC00 || unit > 0xDFFF;
}

template <typename Unit>
std::size_t PrefixLength(const Unit* units, std::size_t available) {
    std::size_t characters = 0;
    std::size_t length = 0;
    for (; length < available && units[length] != Unit{}; ++length) {
        if (StartsCharacter(units[length]) && characters++ == ClipboardTextLimit) {
            break;
        }
    }
    return length;
}

}  // namespace

std::size_t ClipboardTextLength(const char* utf8, std::size_t available) {
    return PrefixLength(utf8, available);
}

std::size_t ClipboardTextLength(const wchar_t* utf16, std::size_t available) {
    return PrefixLength(utf16, available);
}
