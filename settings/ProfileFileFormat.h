#pragma once
// The legacy initialisation-file format of "Quenvik.ini": one entry of a section read, or some
// entries of one section written in one edit.
// Reading follows the platform's profile functions; writing edits the file the way a careful
// person would: only the entries' values change, or lines (or a section) are added, and
// every other byte stays as it was, because the host keeps its own settings in the same file.
// Each routine reads the lines once, in order, and stops as soon as the answer is known.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "SettingValues.h"
#include "TextLines.h"

// The value of the first entry `name` in the first section `section`, both matched without
// regard to case and blanks; nullopt when there is no such entry or the entry has no "=".
// The value is trimmed, ends at a NUL, and loses one pair of matching surrounding quotes.
std::optional<std::string> ReadProfileValue(LineSource& file, std::string_view section,
                                            std::string_view name);
// ReadProfileValue for each of `names`, in one pass that stops after the section.
std::vector<std::optional<std::string>> ReadProfileValues(LineSource& file,
                                                          std::string_view section,
                                                          const std::vector<std::string>& names);

// The changes that store each `name=value` in `section`: the first matching entry's value
// replaced in its line, the others added as new last lines of the section, or with a new section
// at the end, in the file's own line-break style; none when every value is already stored.
// Throws std::invalid_argument for a section, name or value that cannot be stored on one line or
// for two names of one entry, and std::runtime_error for a file that cannot be edited safely
// (text that starts with a UTF-16 byte order mark: the file layer hands out UTF-16 files already
// decoded).
TextEdits ProfileValuesEdit(LineSource& file, std::string_view section,
                            const SettingValues& values);
