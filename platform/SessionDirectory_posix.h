#pragma once
// Where this user's named session objects live on POSIX systems. Whoever can write to that
// directory can fake or block our objects, so only a directory of our own that nobody else may
// enter is used.

#include <string>

#include "FileDescriptor_posix.h"

enum class DirectoryAccess { CreateIfMissing, ExistingOnly };

// The parent of the fallback directory. Fixed rather than $TMPDIR, so every program of the user
// meets the same objects whatever its environment.
inline constexpr const char* DefaultFallbackBase = "/tmp";

// Opens runtimeDirectory (normally $XDG_RUNTIME_DIR, may be null) when it is an absolute path to
// a private directory of ours. Otherwise opens <fallbackBase>/rechner-<uid>, first creating it
// with mode 0700 when access allows; it is refused when it is a symbolic link, not a directory,
// owned by someone else or open to group or others. Invalid when neither can be used.
FileDescriptor OpenSessionDirectory(const char* runtimeDirectory, const std::string& fallbackBase,
                                    DirectoryAccess access);
