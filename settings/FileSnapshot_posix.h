#pragma once
// The settings file as a write finds it: open, with what identifies its contents, taken only once
// the file has settled. A host that rewrites the file in place (truncate, then write) leaves it
// empty or half written for a moment; a write derived from that moment would throw away the
// host's other settings, so a file changed within the last SettleInterval is watched until it
// stays the same for that long.

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <optional>

#include "FileDescriptor_posix.h"

inline constexpr std::chrono::milliseconds SettleInterval{30};

// What changes whenever a file is replaced or written: a rename brings another inode, a write
// a new size or modification time, and the change time follows every write, even one that
// puts the old modification time back.
struct FileIdentity {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = 0;
    timespec Modified{};
    timespec Changed{};
};

FileIdentity IdentityOf(const struct stat& status);
// The same file with the same contents: all but the change time, which a rename of the file
// itself updates.
bool SameContents(const FileIdentity& a, const FileIdentity& b);
bool SameIdentity(const FileIdentity& a, const FileIdentity& b);

struct FileSnapshot {
    FileDescriptor File;  // invalid when the file does not exist
    struct stat Status {};
    std::optional<FileIdentity> Identity;  // nullopt when the file does not exist
};

// Opens the file, never blocking on a FIFO or device planted in its place and never through a
// symbolic link, once it has settled: its last change is SettleInterval old, it is a file this
// process wrote whole, or it stayed the same while we waited that long. Throws StoreBusy for a
// file that keeps changing, and std::runtime_error for anything but a regular file and for a
// read error.
FileSnapshot OpenSettled(const std::filesystem::path& file);

// A file this process has just written whole need not settle before the next write reads it.
void RememberWrittenWhole(const std::filesystem::path& file, const FileIdentity& identity);
