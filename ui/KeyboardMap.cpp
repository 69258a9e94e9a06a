// The complete keyboard table; every character not listed is ignored.

#include "KeyboardMap.h"

#include <array>

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

}  // namespace

std::optional<KeyText> TranslateTypedCharacter(char32_t typed) {
    for (const TypedKey& row : KeyboardTable) {
        if (row.Typed == typed) {
            return KeyText{row.Key};
        }
    }
    return std::nullopt;
}
