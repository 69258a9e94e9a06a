// Opening and vetting the settings folder; see SettingsFolder_posix.h.
#include "SettingsFolder_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
// Where the kernel shows a process's open descriptors as links to what they stand for.
const std::filesystem::path OpenDescriptors = "/proc/self/fd";

[[noreturn]] void Refuse(const std::string& why, const std::filesystem::path& folder) {
    const std::string message = "the settings folder " + folder.string() + " " + why;
    // The stores take a failure as a value that is missing or not stored; the user learns why
    // here, once.
    static std::atomic<bool> told{false};
    if (!told.exchange(true)) {
        std::cerr << "rechner: " << message
                  << "; the position is neither read from nor stored there\n";
    }
    throw std::runtime_error(message);
}

// The user's own, or, for root writing a user's settings, the owner of the folder above.
bool Trusted(uid_t owner, const struct stat& parent) {
    return owner == ::geteuid() || owner == parent.st_uid;
}

}  // namespace

SettingsFolder::SettingsFolder(const std::filesystem::path& folder, Access access) : path_(folder) {
    const std::filesystem::path parentPath = folder.parent_path();
    const std::string name = folder.filename().string();
    if (access == Access::CreateIfMissing) {
        std::filesystem::create_directories(parentPath);
    }
    const FileDescriptor parent(::open(parentPath.c_str(), FolderFlags));
    struct stat parentStatus {};
    if (!parent.Valid() || ::fstat(parent.Get(), &parentStatus) != 0) {
        if (access == Access::ExistingOnly && errno == ENOENT) {
            return;
        }
        Refuse(std::string("cannot be reached: ") + std::strerror(errno), folder);
    }
    if (access == Access::CreateIfMissing && ::mkdirat(parent.Get(), name.c_str(), 0700) != 0 &&
        errno != EEXIST) {
        Refuse(std::string("cannot be created: ") + std::strerror(errno), folder);
    }
    folder_ = FileDescriptor(::openat(parent.Get(), name.c_str(), FolderFlags | O_NOFOLLOW));
    if (!folder_.Valid()) {
        if (errno == ENOENT && access == Access::ExistingOnly) {
            return;
        }
        struct stat link {};
        if (::fstatat(parent.Get(), name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISLNK(link.st_mode)) {
            Refuse("is not a folder", folder);
        }
        if (!Trusted(link.st_uid, parentStatus)) {
            Refuse("is a link that belongs to another user; it is not followed", folder);
        }
        folder_ = FileDescriptor(::openat(parent.Get(), name.c_str(), FolderFlags));
        if (!folder_.Valid()) {
            if (errno == ENOENT && access == Access::ExistingOnly) {
                return;
            }
            Refuse(std::string("cannot be opened: ") + std::strerror(errno), folder);
        }
    }
    struct stat status {};
    if (::fstat(folder_.Get(), &status) != 0 || !Trusted(status.st_uid, parentStatus)) {
        folder_ = {};
        Refuse("belongs to another user", folder);
    }
}

std::filesystem::path SettingsFolder::FileNamed(const std::filesystem::path& name) const {
    static const bool descriptorsShown = ::access(OpenDescriptors.c_str(), X_OK) == 0;
    if (!descriptorsShown) {
        // Without /proc the name is all there is; the folder was vetted a moment ago.
        return path_ / name;
    }
    return OpenDescriptors / std::to_string(folder_.Get()) / name;
}
