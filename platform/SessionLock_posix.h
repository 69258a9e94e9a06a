#pragma once
// Named session objects as lock files in a session directory. A holder keeps a shared flock on
// "<name>.lock"; the name is held exactly while some process keeps that lock, and the kernel
// drops it when the process ends, a crash included. Lock files are never removed: removing one
// while another process is about to lock it would split the name into two unrelated files.

#include <string>

#include "FileDescriptor_posix.h"
#include "NamedSessionObject.h"

struct SessionHold {
    SessionObjectState State = SessionObjectState::Failed;
    // Keeps the shared lock while it is open; invalid when State is Failed.
    FileDescriptor Lock;
};

// Takes a hold on name in the directory, creating its lock file when needed. Whether someone else
// held the name is decided under the directory's guard lock, so of two simultaneous creators
// exactly one sees Created. An invalid directory or name gives Failed.
SessionHold HoldSessionName(const FileDescriptor& directory, const std::string& name);

// Whether some process holds name in the directory. Creates no file.
bool IsSessionNameHeld(const FileDescriptor& directory, const std::string& name);
