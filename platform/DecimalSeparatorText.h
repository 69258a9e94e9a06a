#pragma once
// Turns the separator text a locale reports into the one character the engine works with.

// The first character of text when it is a visible ASCII character, else ".". The engine keeps
// its separator in one byte, and the display font is matched to ASCII; the first byte of a
// multibyte separator such as the Arabic decimal separator U+066B (UTF-8 D9 AB) would show as
// garbage and could never be typed. A null or empty text also gives ".".
char DecimalSeparatorFromText(const char* text);
