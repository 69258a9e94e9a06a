#pragma once
// The one-character texts that name calculator keys: "0" to "9", "," (decimal comma), "+", "-",
// "x" (multiply), ":" (divide), "=", "C" (clear entry) and "A" (all clear). Every input path,
// mouse, keyboard or script, turns its input into these before the engine sees it.

#include <string>
#include <string_view>

using KeyText = std::string;

// Every character that is a key, one per key.
inline constexpr std::string_view KeyCharacters = "0123456789,+-x:=CA";
