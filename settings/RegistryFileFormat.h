#pragma once
// The registry key HKEY_CURRENT_USER\Software\Tembra-Lidorn kept as a text file in the registry
// editor's export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Tembra-Lidorn]
//   "CalcLeft"="741"
//
// String values are "Name"="text" with \\ and \" escaped. Values of other types (dword:, hex:)
// stay in the file as they are and read as not-a-string; hex(1): and hex(2): are the string
// and expandable-string types in hex form and read as text. Other keys and lines are kept.
// One value is read at a time, several are written in one edit; each routine reads the lines
// once, in order.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SettingValues.h"
#include "TextLines.h"

inline constexpr std::string_view RegistryFileHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view RegistryFileKey = R"(HKEY_CURRENT_USER\Software\Tembra-Lidorn)";

// The text of value `name` (matched without regard to case) up to its first NUL; nullopt when
// the file lacks the header, the key or the value. Throws std::runtime_error when the value is
// of a non-string type or malformed. Where a name occurs more than once the last one counts, as
// it would after importing the file.
std::optional<std::string> ReadRegistryValue(LineSource& file, std::string_view name);
// The texts of several values in one pass, each as ReadRegistryValue gives it, except that a
// value of a non-string type or a malformed one reads as nullopt rather than failing the others.
std::vector<std::optional<std::string>> ReadRegistryStrings(LineSource& file,
                                                            const std::vector<std::string>& names);

// The changes that set each value `name` to its string: an existing value (of any type) is
// replaced in place, the others are added as the last lines of the key, else the key is added at
// the end. An empty file becomes a new one with CR LF line breaks; none when every string is
// already stored. Throws std::invalid_argument for a name or value that cannot be written on one
// line or for two names of one value, and std::runtime_error for a non-empty file without the
// header, which is not ours to edit.
TextEdits RegistryValuesEdit(LineSource& file, const SettingValues& values);
