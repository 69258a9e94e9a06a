#pragma once
// Turns the separator texts a locale reports into the ones the program works with.

#include <string>

// The first character of text when it is a visible ASCII character, else ".". The engine keeps
// its separator in one byte, and the display font is matched to ASCII; the first byte of a
// multibyte separator such as the Arabic decimal separator U+066B (UTF-8 D9 AB) would show as
// garbage and could never be typed. A null or empty text also gives ".".
char DecimalSeparatorFromText(const char* text);

// The text when it is exactly one UTF-8 character that is neither a control character nor a
// digit, else empty. A single-byte code page's separator (0xA0 for a no-break space) is no UTF-8
// and is dropped rather than matched against pasted UTF-8 text.
std::string ThousandsSeparatorFromText(const char* text);
