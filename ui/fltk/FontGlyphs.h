#pragma once
// Whether the face FLTK draws with has a glyph for a character. Kept apart from the painter
// because Xft's headers bring a type of their own named Picture.

// For the face the last fl_font call chose; true where FLTK draws without Xft, which shows what
// it can.
bool CurrentFontHasGlyph(char32_t character);
