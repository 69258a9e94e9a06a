#pragma once
// What one FLTK key event means to the form: a shortcut key (Ctrl with a letter), the keys that
// ask for the menu (the menu key, Shift+F10) and the characters the keyboard layout produced. Kept
// apart from the window so that it is tested without a display.

#include <optional>
#include <string_view>
#include <vector>

#include "FormTypes.h"

struct TranslatedKeyEvent {
    std::optional<char32_t> ShortcutLetter;  // lower-case, only while Ctrl is held
    std::vector<char32_t> Typed;  // in the order typed; none for modifiers, NumLock, Ctrl or Alt
    bool MenuKey = false;

    bool Used() const { return ShortcutLetter.has_value() || !Typed.empty() || MenuKey; }
};

// text is the event's UTF-8 text, key its FLTK key code. A byte that is no valid UTF-8 is read
// as one character of its own, never merged with its neighbours.
TranslatedKeyEvent TranslateKeyEvent(std::string_view text, int key, KeyModifiers modifiers);
