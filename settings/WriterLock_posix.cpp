// The writers' lock file and the clearing of stale temporary files.
#include "WriterLock_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <iostream>
#include <stdexcept>
#include <thread>

#include "AtomicFileParts.h"
#include "SettingValues.h"

namespace {

// Short: the writer's thread tries again later, with a growing pause.
constexpr std::chrono::milliseconds LockWait{100};
constexpr std::chrono::milliseconds LockPollInterval{2};

FileDescriptor OpenLockFile(const std::filesystem::path& file) {
    const std::filesystem::path path =
        file.parent_path() / ("." + file.filename().string() + ".lock");
    FileDescriptor lock(
        ::open(path.c_str(), O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600));
    struct stat status {};
    if (!lock.Valid() || ::fstat(lock.Get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {};
    }
    // Made by root in the user's folder, it would lock the user's own writers out.
    struct stat folder {};
    if (::geteuid() == 0 && ::stat(file.parent_path().c_str(), &folder) == 0 &&
        (status.st_uid != folder.st_uid || status.st_gid != folder.st_gid)) {
        static_cast<void>(::fchown(lock.Get(), folder.st_uid, folder.st_gid));
    }
    return lock;
}

// Whether processes of other users can open the lock file, and so hold it: it belongs to
// someone else, or its mode lets others read it. The owner of the settings folder counts as
// ours, for root writing a user's settings.
bool OthersCanHold(const FileDescriptor& lock, const std::filesystem::path& file) {
    struct stat status {};
    struct stat folder {};
    if (::fstat(lock.Get(), &status) != 0) {
        return false;
    }
    const bool ours =
        status.st_uid == ::geteuid() ||
        (::stat(file.parent_path().c_str(), &folder) == 0 && status.st_uid == folder.st_uid);
    return !ours || (status.st_mode & (S_IRWXG | S_IRWXO)) != 0;
}

// A process of another user still counts: it runs, though we may not signal it.
bool Runs(unsigned long process) {
    const auto id = static_cast<pid_t>(process);
    return static_cast<unsigned long>(id) != process || id <= 0 || ::kill(id, 0) == 0 ||
           errno != ESRCH;
}

}  // namespace

WriterLock::WriterLock(const std::filesystem::path& file) {
    FileDescriptor lock = OpenLockFile(file);
    if (!lock.Valid()) {
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + LockWait;
    while (::flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            return;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            if (OthersCanHold(lock, file)) {
                // Another user's process would keep the user's own writes out for as long as
                // it likes: the write goes on without the lock, and its check that the file did
                // not change still guards it.
                std::cerr << "rechner: the lock file of " << file.string()
                          << " is held, and other users can hold it too; writing without it\n";
                return;
            }
            throw StoreBusy("another writer keeps " + file.string() + " locked");
        }
        std::this_thread::sleep_for(LockPollInterval);
    }
    lock_ = std::move(lock);
}

void RemoveStaleTemporaries(const std::filesystem::path& file) {
    DIR* folder = ::opendir(file.parent_path().c_str());
    if (folder == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(folder)) {
        const std::optional<unsigned long> writer = TemporarySiblingWriter(entry->d_name, file);
        struct stat status {};
        if (writer && !Runs(*writer) &&
            ::fstatat(::dirfd(folder), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode)) {
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
        }
    }
    ::closedir(folder);
}
