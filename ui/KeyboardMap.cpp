// The complete keyboard table; every character not listed is ignored.

#include "KeyboardMap.h"

#include <array>
#include <utility>

namespace {

struct TypedKey {
    char32_t Typed;
    const char* Key;
};

constexpr std::array<TypedKey, 23> KeyboardTable{{
    {U'\r', "="},    // Enter, on the main keyboard and the keypad alike
    {U'\x1b', "A"},  // Escape is the only all-clear key; "a" and "A" are not
    {U'*', "x"},    {U'+', "+"}, {U',', ","}, {U'-', "-"}, {U'.', ","}, {U'/', ":"},
    {U'0', "0"},    {U'1', "1"}, {U'2', "2"}, {U'3', "3"}, {U'4', "4"}, {U'5', "5"},
    {U'6', "6"},    {U'7', "7"}, {U'8', "8"}, {U'9', "9"}, {U':', ":"}, {U'=', "="},
    {U'C', "C"},    {U'c', "C"}, {U'x', "x"},  // lower case only: "X" is ignored
}};

// Characters a person would not call by what they print; every other one is its own name.
constexpr std::array<std::pair<char32_t, const char*>, 10> KeyNames{{
    {U'\r', "Eingabetaste"},
    {U'\x1b', "Esc"},
    {U'*', "Stern"},
    {U'+', "Plus"},
    {U',', "Komma"},
    {U'-', "Minus"},
    {U'.', "Punkt"},
    {U'/', "Schr\xC3\xA4gstrich"},
    {U':', "Doppelpunkt"},
    {U'=', "Gleichheitszeichen"},
}};

std::string KeyName(char32_t typed) {
    for (const auto& [character, name] : KeyNames) {
        if (character == typed) {
            return name;
        }
    }
    // The rest of the table is ASCII digits and letters.
    return std::string(1, static_cast<char>(typed));
}

}  // namespace

std::optional<KeyText> TranslateTypedCharacter(char32_t typed) {
    for (const TypedKey& row : KeyboardTable) {
        if (row.Typed == typed) {
            return KeyText{row.Key};
        }
    }
    return std::nullopt;
}

std::string KeyboardShortcut(const KeyText& key) {
    for (const TypedKey& row : KeyboardTable) {
        if (key == row.Key) {
            return KeyName(row.Typed);
        }
    }
    return "";
}
