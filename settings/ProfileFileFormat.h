#pragma once
// The legacy initialisation-file format of "Quenvik.ini", for one entry of one section at a time.
// Reading follows the platform's profile functions; writing edits the file the way a careful
// person would: only the line of the entry changes, or one line (or a section) is added, and
// every other byte stays as it was, because the host keeps its own settings in the same file.
// Each routine reads the lines once, in order, and stops as soon as the answer is known.

#include <optional>
#include <string>
#include <string_view>

#include "TextLines.h"

// The value of the first entry `name` in the first section `section`, both matched without
// regard to case and blanks; nullopt when there is no such entry or the entry has no "=".
// The value is trimmed, ends at a NUL, and loses one pair of matching surrounding quotes.
std::optional<std::string> ReadProfileValue(LineSource& file, std::string_view section,
                                            std::string_view name);

// The change that stores `name=value` in `section`: the first matching entry's value replaced
// in its line, else a new last line of the section, else a new section at the end, in the
// file's own line-break style; nullopt when the value is already stored.
// Throws std::invalid_argument for a section, name or value that cannot be stored on one line,
// and std::runtime_error for a file that cannot be edited safely (text that starts with a UTF-16
// byte order mark: the file layer hands out UTF-16LE files already decoded).
std::optional<TextEdit> ProfileValueEdit(LineSource& file, std::string_view section,
                                         std::string_view name, std::string_view value);

// The same for a file held in memory; WithProfileValue returns the edited file.
std::optional<std::string> ReadProfileValue(std::string_view file, std::string_view section,
                                            std::string_view name);
std::string WithProfileValue(std::string_view file, std::string_view section, std::string_view name,
                             std::string_view value);
