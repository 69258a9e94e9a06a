#pragma once
// The advisory lock that writers of a settings file share for their whole read-modify-write: an
// exclusive flock on ".<name>.lock" beside the file. The settings file itself cannot carry it:
// every write renames a new file over it, so a lock on the file would stay on one that is no
// longer there. The lock file is never removed, for the same reason.

#include <filesystem>

#include "FileDescriptor_posix.h"

class WriterLock {
public:
    // Takes the lock, waiting for another writer for a tenth of a second at most; throws
    // StoreBusy when one keeps it longer. Holds nothing when the lock file cannot be
    // opened or is not a regular file, or when it stays held and other users can open it (said
    // on standard error): the write then relies on its check that the file did not change, as it
    // does against writers that take no lock.
    explicit WriterLock(const std::filesystem::path& file);
    bool Held() const { return lock_.Valid(); }

private:
    FileDescriptor lock_;
};

// Removes what killed writers left behind: temporary files of ours beside `file` whose writer no
// longer runs. Only while holding the lock, when no cooperating writer is mid-write; the file of
// a writer that could not take the lock and still runs is its own.
void RemoveStaleTemporaries(const std::filesystem::path& file);
