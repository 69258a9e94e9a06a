#pragma once
// Where this user's named session objects live on POSIX systems. Whoever can write to that
// directory can fake or block our objects, so only a directory of our own that nobody else may
// enter is used.

#include <string>

#include "FileDescriptor_posix.h"

enum class DirectoryAccess { CreateIfMissing, ExistingOnly };

// The places for the directory when $XDG_RUNTIME_DIR cannot serve. Both are fixed rather than
// taken from the environment, so every program of the user meets the same objects whatever its
// environment.
struct SessionPlaces {
    // /tmp/rechner-<uid>: the usual place, but another local user may take the name first.
    std::string Shared;
    // ~/.cache/rechner-<host name>, with the home directory from the user database: nobody else
    // can create it. Per host, since a home directory may be shared between machines. Empty
    // when the user has no home directory.
    std::string Private;
};

SessionPlaces DefaultSessionPlaces();

// Opens runtimeDirectory (normally $XDG_RUNTIME_DIR, may be null) when it is an absolute path to
// a private directory of ours. Otherwise the private place when it exists, since a process that
// found the shared place refused may run there; otherwise the shared place, first creating it
// with mode 0700 when access allows. A shared place that is a symbolic link, not a directory,
// owned by someone else or open to group or others is refused with a word on standard error,
// and the private place is created and used instead. When that cannot be used either, creating
// throws std::runtime_error that says why, and asking finds nothing (invalid).
FileDescriptor OpenSessionDirectory(const char* runtimeDirectory, const SessionPlaces& places,
                                    DirectoryAccess access);
