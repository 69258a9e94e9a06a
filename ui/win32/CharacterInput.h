#pragma once
// What WM_CHAR's UTF-16 units mean to the form: whole characters, a surrogate pair joined into
// one. Kept apart from the window so that it is tested without one.

#include <optional>

class SurrogateJoiner {
public:
    // The character that this unit completes, or nothing while a high surrogate waits for its
    // low half. A low half without its partner is passed on alone, and the keyboard map ignores
    // it; a high half whose partner never comes is dropped.
    std::optional<char32_t> Add(wchar_t unit);

private:
    char32_t high_ = 0;
};

// Whether a WM_CHAR is a typed character: not while Ctrl alone is held, which makes control
// codes of letters (Ctrl+M would be Enter). Ctrl with Alt is AltGr, whose characters are typed;
// Alt alone types nothing, since it comes as WM_SYSCHAR.
bool IsTypedCharacter(bool controlHeld, bool altHeld);
