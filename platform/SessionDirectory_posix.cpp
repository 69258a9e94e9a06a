// Finding and vetting the directory that holds the session objects' lock files.

#include "SessionDirectory_posix.h"

#include <fcntl.h>
#include <limits.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <iostream>
#include <stdexcept>

namespace {

bool IsPrivateDirectory(int descriptor) {
    struct stat status {};
    return fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// The checks run on the opened descriptor, not on the path, so the directory cannot be swapped
// between checking and using it; O_NOFOLLOW keeps a link planted in /tmp from redirecting us.
FileDescriptor OpenPrivateDirectory(const std::string& path) {
    FileDescriptor directory(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!directory.Valid() || !IsPrivateDirectory(directory.Get())) {
        return {};
    }
    return directory;
}

bool Exists(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

std::string ParentOf(const std::string& path) {
    return path.substr(0, path.find_last_of('/'));
}

}  // namespace

SessionPlaces DefaultSessionPlaces() {
    SessionPlaces places{"/tmp/rechner-" + std::to_string(geteuid()), ""};
    const passwd* user = getpwuid(geteuid());
    char host[HOST_NAME_MAX + 1] = {};
    if (user != nullptr && user->pw_dir != nullptr && user->pw_dir[0] == '/' &&
        gethostname(host, sizeof host - 1) == 0) {
        places.Private = std::string(user->pw_dir) + "/.cache/rechner-" + host;
    }
    return places;
}

FileDescriptor OpenSessionDirectory(const char* runtimeDirectory, const SessionPlaces& places,
                                    DirectoryAccess access) {
    if (runtimeDirectory != nullptr && runtimeDirectory[0] == '/') {
        FileDescriptor directory = OpenPrivateDirectory(runtimeDirectory);
        if (directory.Valid()) {
            return directory;
        }
    }
    if (!places.Private.empty()) {
        FileDescriptor directory = OpenPrivateDirectory(places.Private);
        if (directory.Valid()) {
            return directory;
        }
    }
    if (access == DirectoryAccess::CreateIfMissing) {
        // Failing because it exists is expected; whether an existing one can be trusted is decided
        // on opening it.
        mkdir(places.Shared.c_str(), S_IRWXU);
    }
    FileDescriptor directory = OpenPrivateDirectory(places.Shared);
    if (directory.Valid() || !Exists(places.Shared)) {
        return directory;
    }
    if (!places.Private.empty() && access == DirectoryAccess::CreateIfMissing) {
        mkdir(ParentOf(places.Private).c_str(), S_IRWXU);
        mkdir(places.Private.c_str(), S_IRWXU);
        directory = OpenPrivateDirectory(places.Private);
    }
    if (directory.Valid()) {
        std::cerr << "session directory " << places.Shared
                  << " is not a private directory of this user; using " << places.Private << '\n';
    }
    if (directory.Valid() || access == DirectoryAccess::ExistingOnly) {
        return directory;
    }
    // Running without the objects would let two calculators run at once and keep the host's
    // signal from them: the start is refused instead.
    throw std::runtime_error("The folder " + places.Shared +
                             " for the session's objects is not a private folder of this user, "
                             "and the home folder offers no other place. Set XDG_RUNTIME_DIR to "
                             "a private folder, or remove " +
                             places.Shared + ".");
}
