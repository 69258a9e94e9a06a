// Key events to form calls; see KeyEventTranslation.h.
#include "KeyEventTranslation.h"

#include <FL/Enumerations.H>
#include <FL/fl_utf8.h>

TranslatedKeyEvent TranslateKeyEvent(std::string_view text, int key, KeyModifiers modifiers) {
    TranslatedKeyEvent translated;
    // The menu key types a control character on some layouts: it asks for the menu only.
    const bool onlyShift = modifiers.Shift && !modifiers.Control && !modifiers.Alt;
    if (key == FL_Menu || (key == FL_F + 10 && onlyShift)) {
        translated.MenuKey = true;
        return translated;
    }
    // FLTK reports a letter key by its lower-case code whatever Shift and Caps Lock say.
    if (modifiers.Control && key >= 'a' && key <= 'z') {
        translated.ShortcutLetter = static_cast<char32_t>(key);
    }
    // Windows types nothing while Ctrl or Alt is held, and Alt+5 must not enter a 5 here either.
    // AltGr is a modifier of its own on X and still types.
    if (modifiers.Control || modifiers.Alt) {
        return translated;
    }
    const char* position = text.data();
    const char* end = text.data() + text.size();
    while (position < end) {
        int length = 0;
        translated.Typed.push_back(static_cast<char32_t>(fl_utf8decode(position, end, &length)));
        position += length;  // at least 1: an undecodable byte is read as one character
    }
    return translated;
}
