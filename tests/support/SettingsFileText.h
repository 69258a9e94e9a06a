#pragma once
// The settings file formats over a file held in memory, for the unit tests and the fuzzers: a
// value read from the text, and the text as a write of values would leave it.

#include <optional>
#include <string>
#include <string_view>

#include "ProfileFileFormat.h"
#include "RegistryFileFormat.h"
#include "SettingValues.h"
#include "TextLines.h"

inline std::optional<std::string> ReadProfileValue(std::string_view file, std::string_view section,
                                                   std::string_view name) {
    TextLineSource lines(file);
    return ReadProfileValue(lines, section, name);
}

inline std::string WithProfileValues(std::string_view file, std::string_view section,
                                     const SettingValues& values) {
    TextLineSource lines(file);
    return Applied(file, ProfileValuesEdit(lines, section, values));
}

inline std::string WithProfileValue(std::string_view file, std::string_view section,
                                    std::string_view name, std::string_view value) {
    return WithProfileValues(file, section, {{std::string(name), std::string(value)}});
}

inline std::optional<std::string> ReadRegistryValue(std::string_view file, std::string_view name) {
    TextLineSource lines(file);
    return ReadRegistryValue(lines, name);
}

inline std::string WithRegistryValues(std::string_view file, const SettingValues& values) {
    TextLineSource lines(file);
    return Applied(file, RegistryValuesEdit(lines, values));
}

inline std::string WithRegistryValue(std::string_view file, std::string_view name,
                                     std::string_view value) {
    return WithRegistryValues(file, {{std::string(name), std::string(value)}});
}
