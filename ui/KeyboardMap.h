#pragma once
// Typed characters to calculator keys. The map works on the character the keyboard layout
// produced, not on key codes, so the keypad and the main keyboard behave the same.

#include <optional>
#include <string>

#include "KeyText.h"

// The key for a typed character, or nothing for every character the calculator ignores.
std::optional<KeyText> TranslateTypedCharacter(char32_t typed);

// The key on the keyboard that enters a calculator key, as a person calls it ("7", "Plus",
// "Eingabetaste", "Esc"): the first character of the table that enters it; empty for a key that
// no character enters.
std::string KeyboardShortcut(const KeyText& key);
