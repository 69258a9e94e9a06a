// Atomic replacement of a settings file on POSIX systems: write beside, fsync, rename, fsync the
// directory so the rename itself survives a power cut.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "AtomicFile.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path) {
    const int code = errno;
    throw std::runtime_error(std::string(what) + " " + path.string() + ": " + std::strerror(code));
}

// Owns the temporary file until it has been renamed over the original.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& beside) {
        for (int attempt = 0; attempt < 100 && descriptor_ < 0; ++attempt) {
            path_ = TemporarySibling(beside);
            descriptor_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
            if (descriptor_ < 0 && errno != EEXIST) {
                Fail("cannot create", path_);
            }
        }
        if (descriptor_ < 0) {
            Fail("cannot create", path_);
        }
    }
    ~TemporaryFile() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
        if (!renamed_) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void Write(std::string_view contents) {
        while (!contents.empty()) {
            const ssize_t written = ::write(descriptor_, contents.data(), contents.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                Fail("cannot write", path_);
            }
            contents.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    void SetMode(mode_t mode) {
        if (::fchmod(descriptor_, mode) != 0) {
            Fail("cannot set the permissions of", path_);
        }
    }

    void CommitAs(const std::filesystem::path& target) {
        if (::fsync(descriptor_) != 0) {
            Fail("cannot flush", path_);
        }
        const int descriptor = descriptor_;
        descriptor_ = -1;
        if (::close(descriptor) != 0) {
            Fail("cannot close", path_);
        }
        if (::rename(path_.c_str(), target.c_str()) != 0) {
            Fail("cannot rename over", target);
        }
        renamed_ = true;
    }

private:
    std::filesystem::path path_;
    int descriptor_ = -1;
    bool renamed_ = false;
};

void SyncDirectory(const std::filesystem::path& directory) {
    const int descriptor = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor >= 0) {
        // The file is already in place; a directory that cannot be flushed changes nothing.
        static_cast<void>(::fsync(descriptor));
        ::close(descriptor);
    }
}

}  // namespace

void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view contents) {
    // Renaming over a symbolic link would replace the link; the file it points at is meant.
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(file, error);
    const std::filesystem::path target = error ? file : resolved;
    std::filesystem::create_directories(target.parent_path());

    struct stat original {};
    const bool exists = ::stat(target.c_str(), &original) == 0;
    if (!exists && errno != ENOENT) {
        Fail("cannot inspect", target);
    }
    // Write permission is checked on the bits as well, since a privileged user passes access().
    if (exists && (!S_ISREG(original.st_mode) || (original.st_mode & 0222) == 0 ||
                   ::access(target.c_str(), W_OK) != 0)) {
        throw std::runtime_error("not a writable file: " + target.string());
    }

    TemporaryFile temporary(target);
    temporary.Write(contents);
    if (exists) {
        temporary.SetMode(original.st_mode & 07777);
    }
    temporary.CommitAs(target);
    SyncDirectory(target.parent_path());
}
