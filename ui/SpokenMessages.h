#pragma once
// What the calculator tells a screen-reader user beyond the keys the reader echoes itself: the
// outcome of a key, a copy or a paste that the display alone does not show, in German.

#include <string>

// A digit the entry had no room for.
std::string RefusedDigitMessage();
// The number copied, and the number a paste entered.
std::string CopiedMessage(const std::string& number);
std::string PastedMessage(const std::string& number);
// The clipboard held nothing that reads as an amount.
std::string RefusedPasteMessage();
// The display was cleared and now shows number.
std::string ClearedMessage(const std::string& number);
// A calculation failed: the result lies outside the range or divides by zero.
std::string ErrorMessage();
