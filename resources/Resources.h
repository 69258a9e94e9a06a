#pragma once
// The artwork compiled into the program: callers get the file's bytes, never a path, so the
// program finds its icon wherever it is started from.

#include <cstdint>
#include <span>

// The 32 x 32, 16-colour program icon, as a Windows icon file.
std::span<const std::uint8_t> ProgramIconFile();
