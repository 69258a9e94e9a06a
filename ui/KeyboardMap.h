#pragma once
// Typed characters to calculator keys. The map works on the character the keyboard layout
// produced, not on key codes, so the keypad and the main keyboard behave the same.

#include <optional>

#include "KeyText.h"

// The key for a typed character, or nothing for every character the calculator ignores.
std::optional<KeyText> TranslateTypedCharacter(char32_t typed);
