// The file-backed registry key and legacy file: the formats decide what a file holds and how it
// changes, AtomicFile reads and changes it.
#include "FileStores.h"

#include <stdexcept>

#include "AtomicFile.h"
#include "ProfileFileFormat.h"
#include "RegistryFileFormat.h"

namespace {

// A relative path would put the host's settings wherever the program happens to start.
const std::filesystem::path& CheckedPath(const std::filesystem::path& file) {
    if (!file.is_absolute()) {
        throw std::runtime_error("no settings directory: " + file.string());
    }
    return file;
}

// What one pass reads in a few milliseconds even on a busy machine.
constexpr std::uintmax_t QuickReadSize = 1024 * 1024;

}  // namespace

RegistryFileStore::RegistryFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::string RegistryFileStore::ReadString(const std::string& name) {
    std::optional<std::string> value;
    ReadSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { value = ReadRegistryValue(lines, name); });
    return value.value_or("");
}

std::vector<std::string> RegistryFileStore::ReadStrings(const std::vector<std::string>& names) {
    std::vector<std::optional<std::string>> texts(names.size());
    ReadSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { texts = ReadRegistryStrings(lines, names); });
    std::vector<std::string> found;
    for (const std::optional<std::string>& text : texts) {
        found.push_back(text.value_or(""));
    }
    return found;
}

void RegistryFileStore::WriteStrings(const SettingValues& values) {
    EditSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { return RegistryValuesEdit(lines, values); });
}

ProfileFileStore::ProfileFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::string ProfileFileStore::ReadString(const std::string& section, const std::string& name,
                                         const std::string& defaultValue, std::size_t bufferSize) {
    return ReadStrings(section, {name}, defaultValue, bufferSize).front();
}

std::vector<std::string> ProfileFileStore::ReadStrings(const std::string& section,
                                                       const std::vector<std::string>& names,
                                                       const std::string& defaultValue,
                                                       std::size_t bufferSize) {
    std::vector<std::optional<std::string>> values(names.size());
    ReadSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { values = ReadProfileValues(lines, section, names); });
    // Trailing blanks of the default are dropped, as the profile functions do.
    const std::string fallback = defaultValue.substr(0, defaultValue.find_last_not_of(' ') + 1);
    std::vector<std::string> texts;
    for (const std::optional<std::string>& value : values) {
        texts.push_back(value.value_or(fallback).substr(0, bufferSize == 0 ? 0 : bufferSize - 1));
    }
    return texts;
}

bool ProfileFileStore::ReadsQuickly() {
    std::error_code unknown;
    const std::uintmax_t size = std::filesystem::file_size(file_, unknown);
    // A file of unknown size is read as any other and fails there if it must.
    return unknown || size <= QuickReadSize;
}

void ProfileFileStore::WriteStrings(const std::string& section, const SettingValues& values) {
    EditSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { return ProfileValuesEdit(lines, section, values); });
}
