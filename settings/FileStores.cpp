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

}  // namespace

RegistryFileStore::RegistryFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::string RegistryFileStore::ReadString(const std::string& name) {
    std::optional<std::string> value;
    ReadSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { value = ReadRegistryValue(lines, name); });
    return value.value_or("");
}

void RegistryFileStore::WriteStrings(const SettingValues& values) {
    EditSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { return RegistryValuesEdit(lines, values); });
}

ProfileFileStore::ProfileFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::string ProfileFileStore::ReadString(const std::string& section, const std::string& name,
                                         const std::string& defaultValue, std::size_t bufferSize) {
    std::optional<std::string> value;
    ReadSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { value = ReadProfileValue(lines, section, name); });
    if (!value) {
        // Trailing blanks of the default are dropped, as the profile functions do.
        value = defaultValue.substr(0, defaultValue.find_last_not_of(' ') + 1);
    }
    return value->substr(0, bufferSize == 0 ? 0 : bufferSize - 1);
}

void ProfileFileStore::WriteStrings(const std::string& section, const SettingValues& values) {
    EditSettingsFile(CheckedPath(file_),
                     [&](LineSource& lines) { return ProfileValuesEdit(lines, section, values); });
}
