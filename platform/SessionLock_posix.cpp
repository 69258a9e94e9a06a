// Holding and probing lock files. Holders keep shared locks, so a probe's non-blocking exclusive
// lock succeeds exactly when nobody holds the name. Every probe runs under the directory's guard:
// a creator's probe that met another probe's momentary exclusive lock would take it for a holder,
// and two creators probing at once could both find the name free.

#include "SessionLock_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <iostream>

#include "SessionObjectName.h"

namespace {

// Cannot clash with a name: every lock file ends in ".lock".
constexpr const char* GuardFileName = ".guard";

enum class Creation { Allowed, Forbidden };

// Only a regular file is a lock file. O_NONBLOCK keeps a FIFO planted under the name from
// stopping us in open() until a writer comes, which would freeze the calculator while it holds
// its own name; anything else under the name is refused, and a holder says so on standard
// error (a probe, which runs five times a second, does not).
FileDescriptor OpenInDirectory(const FileDescriptor& directory, const std::string& fileName,
                               Creation creation) {
    const int create = creation == Creation::Allowed ? O_CREAT : 0;
    FileDescriptor file(openat(directory.Get(), fileName.c_str(),
                               O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | create,
                               S_IRUSR | S_IWUSR));
    struct stat status {};
    if (file.Valid() && (fstat(file.Get(), &status) != 0 || !S_ISREG(status.st_mode))) {
        if (creation == Creation::Allowed) {
            std::cerr << "session object file " << fileName << " is not a regular file; refused\n";
        }
        return {};
    }
    return file;
}

// A signal arriving while we wait must not turn into a failed start.
bool Lock(const FileDescriptor& file, int operation) {
    while (flock(file.Get(), operation) != 0) {
        if (errno != EINTR) {
            return false;
        }
    }
    return true;
}

FileDescriptor TakeGuard(const FileDescriptor& directory, Creation creation) {
    FileDescriptor guard = OpenInDirectory(directory, GuardFileName, creation);
    if (!guard.Valid() || !Lock(guard, LOCK_EX)) {
        return {};
    }
    return guard;
}

}  // namespace

SessionHold HoldSessionName(const FileDescriptor& directory, const std::string& name) {
    if (!directory.Valid() || !IsValidSessionObjectName(name)) {
        return {};
    }
    const FileDescriptor guard = TakeGuard(directory, Creation::Allowed);
    if (!guard.Valid()) {
        return {};
    }
    FileDescriptor lock = OpenInDirectory(directory, name + ".lock", Creation::Allowed);
    if (!lock.Valid()) {
        return {};
    }
    SessionObjectState state = SessionObjectState::Created;
    if (flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK) {
            return {};
        }
        state = SessionObjectState::AlreadyExisted;
    }
    // Like a second handle to an existing mutex, an AlreadyExisted hold keeps the name alive too.
    // The shared lock is in place before the guard is released, so the next creator sees it.
    if (!Lock(lock, LOCK_SH)) {
        return {};
    }
    return {state, std::move(lock)};
}

bool IsSessionNameHeld(const FileDescriptor& directory, const std::string& name) {
    if (!directory.Valid() || !IsValidSessionObjectName(name)) {
        return false;
    }
    // Declared first so that it is released last: our exclusive probe on the lock file must be
    // gone before a creator can look at it.
    FileDescriptor guard;
    const FileDescriptor lock = OpenInDirectory(directory, name + ".lock", Creation::Forbidden);
    if (!lock.Valid()) {
        return false;
    }
    // Creators make the guard before their first lock file, so it is there now. Should it have
    // been removed by hand, the probe still answers right unless a creator runs at this moment.
    guard = TakeGuard(directory, Creation::Forbidden);
    return flock(lock.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}
