#pragma once
// The signs on the keys of the high-contrast face, drawn with whatever face the system gives the
// form's font: not every face has a glyph for each, and one it lacks would show as an empty box.

#include <functional>
#include <string>

// text with each sign the face has no glyph for (hasGlyph says which it has) written as a
// look-alike it has: the minus sign (U+2212) as an en dash or else "-", the multiplication sign
// (U+00D7) as "x", the division sign (U+00F7) as ":".
std::string WithDrawableSigns(const std::string& text,
                              const std::function<bool(char32_t)>& hasGlyph);
