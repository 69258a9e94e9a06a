#pragma once
// Scratch directories and environment overrides for tests, each undone when it goes out of scope,
// so no test touches the user's real session objects or leaves anything behind.

#include <optional>
#include <string>
#include <vector>

class ScratchDirectory {
public:
    // A new empty directory, mode 0700, under the system's temporary directory.
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& Path() const { return path_; }
    // The names in the directory, sorted.
    std::vector<std::string> Entries() const;

private:
    std::string path_;
};

class ScopedEnvironment {
public:
    // Sets the variable, or unsets it when value is null.
    ScopedEnvironment(std::string name, const char* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};

// $XDG_RUNTIME_DIR pointed at a fresh scratch directory: the session objects of this process and
// of the children it starts live there and nowhere else.
struct PrivateRuntimeDirectory {
    ScratchDirectory Directory;
    ScopedEnvironment Variable{"XDG_RUNTIME_DIR", Directory.Path().c_str()};
};
