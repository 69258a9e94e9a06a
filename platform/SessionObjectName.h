#pragma once
// Which names a named session object may carry: the same rule on every platform, so a name that
// works on one works on the other.

#include <cstddef>
#include <string>

// Room for a lock-file suffix within a file name (255 bytes) and well inside Windows' limit.
inline constexpr std::size_t MaxSessionObjectNameLength = 200;

// Not empty, not too long, and free of '/' (it would leave the session directory), '\' (on
// Windows it selects a kernel namespace such as "Global\") and NUL (the system calls would see a
// shorter name than the caller meant).
bool IsValidSessionObjectName(const std::string& name);
