// Finding and vetting the directory that holds the session objects' lock files.

#include "SessionDirectory_posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

FileDescriptor OpenSessionDirectory(const char* runtimeDirectory, const std::string& fallbackBase,
                                    DirectoryAccess access) {
    if (runtimeDirectory != nullptr && runtimeDirectory[0] == '/') {
        FileDescriptor directory = OpenPrivateDirectory(runtimeDirectory);
        if (directory.Valid()) {
            return directory;
        }
    }
    const std::string fallback = fallbackBase + "/rechner-" + std::to_string(geteuid());
    if (access == DirectoryAccess::CreateIfMissing) {
        // Failing because it exists is expected; whether an existing one can be trusted is decided
        // on opening it.
        mkdir(fallback.c_str(), S_IRWXU);
    }
    return OpenPrivateDirectory(fallback);
}
