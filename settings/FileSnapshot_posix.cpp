// Opening a settings file once it has settled.
#include "FileSnapshot_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>

#include "SettingValues.h"

namespace {

// How many times a file that is still changing is watched again before the caller gives up. The
// window's placement reads up to four files at start; with two waits each, a busy host costs it
// about a quarter of a second at most. The writer tries again later on its own.
constexpr int MaxSettleWaits = 2;

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

std::chrono::nanoseconds SinceModified(const FileIdentity& identity) {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return std::chrono::seconds(now.tv_sec - identity.Modified.tv_sec) +
           std::chrono::nanoseconds(now.tv_nsec - identity.Modified.tv_nsec);
}

// The files this process wrote, as it left them. Two at most: the registry file and the legacy
// file.
class WrittenFiles {
public:
    void Remember(const std::filesystem::path& file, const FileIdentity& identity) {
        const std::lock_guard<std::mutex> guard(mutex_);
        files_.insert_or_assign(file, identity);
    }
    bool Holds(const std::filesystem::path& file, const FileIdentity& identity) {
        const std::lock_guard<std::mutex> guard(mutex_);
        const auto found = files_.find(file);
        return found != files_.end() && SameIdentity(found->second, identity);
    }

private:
    std::mutex mutex_;
    std::map<std::filesystem::path, FileIdentity> files_;
};

WrittenFiles& Written() {
    static WrittenFiles files;
    return files;
}

FileSnapshot Open(const std::filesystem::path& file) {
    FileSnapshot snapshot;
    snapshot.File =
        FileDescriptor(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!snapshot.File.Valid()) {
        if (errno == ENOENT) {
            return snapshot;
        }
        const int code = errno;
        throw std::runtime_error("cannot read " + file.string() + ": " + std::strerror(code));
    }
    if (::fstat(snapshot.File.Get(), &snapshot.Status) != 0 || !S_ISREG(snapshot.Status.st_mode)) {
        throw std::runtime_error("not a regular file: " + file.string());
    }
    snapshot.Identity = IdentityOf(snapshot.Status);
    return snapshot;
}

}  // namespace

FileIdentity IdentityOf(const struct stat& status) {
    return {status.st_dev, status.st_ino, status.st_size, status.st_mtim, status.st_ctim};
}

bool SameContents(const FileIdentity& a, const FileIdentity& b) {
    return a.Device == b.Device && a.Inode == b.Inode && a.Size == b.Size &&
           SameTime(a.Modified, b.Modified);
}

bool SameIdentity(const FileIdentity& a, const FileIdentity& b) {
    return SameContents(a, b) && SameTime(a.Changed, b.Changed);
}

FileSnapshot OpenSettled(const std::filesystem::path& file) {
    std::optional<FileIdentity> watched;
    for (int wait = 0;; ++wait) {
        FileSnapshot snapshot = Open(file);
        if (!snapshot.Identity) {
            return snapshot;
        }
        const FileIdentity& identity = *snapshot.Identity;
        // File times may lag the real moment by a clock tick, which SettleInterval is well above;
        // a time in the future is waited out like a fresh one.
        if ((watched && SameIdentity(*watched, identity)) || Written().Holds(file, identity) ||
            SinceModified(identity) >= SettleInterval) {
            return snapshot;
        }
        if (wait == MaxSettleWaits) {
            throw StoreBusy("the file keeps changing: " + file.string());
        }
        watched = identity;
        std::this_thread::sleep_for(SettleInterval);
    }
}

void RememberWrittenWhole(const std::filesystem::path& file, const FileIdentity& identity) {
    Written().Remember(file, identity);
}
