#pragma once
// The registry key HKEY_CURRENT_USER\Software\Tembra-Lidorn kept as a text file in the registry
// editor's export format, for one value at a time:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Tembra-Lidorn]
//   "CalcLeft"="741"
//
// String values are "Name"="text" with \\ and \" escaped. Values of other types (dword:, hex:)
// stay in the file as they are and read as not-a-string; hex(1): and hex(2): are the string
// and expandable-string types in hex form and read as text. Other keys and lines are kept.
// Each routine reads the lines once, in order.

#include <optional>
#include <string>
#include <string_view>

#include "TextLines.h"

inline constexpr std::string_view RegistryFileHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view RegistryFileKey = R"(HKEY_CURRENT_USER\Software\Tembra-Lidorn)";

// The text of value `name` (matched without regard to case) up to its first NUL; nullopt when
// the file lacks the header, the key or the value. Throws std::runtime_error when the value is
// of a non-string type or malformed. Where a name occurs more than once the last one counts, as
// it would after importing the file.
std::optional<std::string> ReadRegistryValue(LineSource& file, std::string_view name);

// The change that sets value `name` to the string `value`: an existing value (of any type) is
// replaced in place, else added as the last line of the key, else the key is added at the end.
// An empty file becomes a new one with CR LF line breaks; nullopt when the string is already
// stored. Throws std::invalid_argument for a name or value that cannot be written on one line,
// and std::runtime_error for a non-empty file without the header, which is not ours to edit.
std::optional<TextEdit> RegistryValueEdit(LineSource& file, std::string_view name,
                                          std::string_view value);

// The same for a file held in memory; WithRegistryValue returns the edited file.
std::optional<std::string> ReadRegistryValue(std::string_view file, std::string_view name);
std::string WithRegistryValue(std::string_view file, std::string_view name, std::string_view value);
