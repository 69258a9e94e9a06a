// Scratch directories and environment overrides for the POSIX tests.

#include "TestDirectories_posix.h"

#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "rechner-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    }
    Path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(Path_, ignored);
}

std::vector<std::string> ScratchDirectory::Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(Path_)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

ScopedEnvironment::ScopedEnvironment(std::string name, const char* value) : Name_(std::move(name)) {
    if (const char* previous = getenv(Name_.c_str())) {
        Previous_ = previous;
    }
    if (value != nullptr) {
        setenv(Name_.c_str(), value, 1);
    } else {
        unsetenv(Name_.c_str());
    }
}

ScopedEnvironment::~ScopedEnvironment() {
    if (Previous_) {
        setenv(Name_.c_str(), Previous_->c_str(), 1);
    } else {
        unsetenv(Name_.c_str());
    }
}
