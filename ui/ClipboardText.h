#pragma once
// How much of the clipboard a paste reads. An amount is a few dozen characters, while a clipboard
// may hold hundreds of millions, and taking them whole would cost gigabytes for nothing. Each
// backend cuts the text where it reads it, before converting or copying it.

#include <cstddef>

inline constexpr std::size_t ClipboardTextLimit = 4096;  // characters

// How many code units make up the text's first ClipboardTextLimit characters, stopping earlier at
// a terminating zero or after available units. A character is never cut in half: the units that
// continue it (UTF-8 continuation bytes, UTF-16 low surrogates) stay with it.
std::size_t ClipboardTextLength(const char* utf8, std::size_t available);
std::size_t ClipboardTextLength(const wchar_t* utf16, std::size_t available);
