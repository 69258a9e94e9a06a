// The file-backed registry key and legacy file: the formats decide what a file holds and how it
// changes, AtomicFile reads and replaces it.
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

// A file that does not exist yet is edited as an empty one.
template <typename Edit>
void EditFile(const std::filesystem::path& file, Edit edit) {
    const std::optional<std::string> original = ReadFileIfExists(CheckedPath(file));
    const std::string edited = edit(original.value_or(""));
    if (!original || edited != *original) {
        ReplaceFileAtomically(file, edited);
    }
}

}  // namespace

RegistryFileStore::RegistryFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::string RegistryFileStore::ReadString(const std::string& name) {
    const std::optional<std::string> contents = ReadFileIfExists(CheckedPath(file_));
    return contents ? ReadRegistryValue(*contents, name).value_or("") : "";
}

void RegistryFileStore::WriteString(const std::string& name, const std::string& value) {
    EditFile(file_,
             [&](std::string_view contents) { return WithRegistryValue(contents, name, value); });
}

ProfileFileStore::ProfileFileStore(std::filesystem::path file) : file_(std::move(file)) {}

std::string ProfileFileStore::ReadString(const std::string& section, const std::string& name,
                                         const std::string& defaultValue, std::size_t bufferSize) {
    const std::optional<std::string> contents = ReadFileIfExists(CheckedPath(file_));
    std::optional<std::string> value;
    if (contents) {
        value = ReadProfileValue(*contents, section, name);
    }
    if (!value) {
        // Trailing blanks of the default are dropped, as the profile functions do.
        value = defaultValue.substr(0, defaultValue.find_last_not_of(' ') + 1);
    }
    return value->substr(0, bufferSize == 0 ? 0 : bufferSize - 1);
}

void ProfileFileStore::WriteString(const std::string& section, const std::string& name,
                                   const std::string& value) {
    EditFile(file_, [&](std::string_view contents) {
        return WithProfileValue(contents, section, name, value);
    });
}
