#pragma once
// The artwork compiled into the program: callers get the files' bytes, never a path, so the
// program finds its skin and icon wherever it is started from.

#include <cstdint>
#include <span>

// The 126 x 224, 24-bit skin bitmap of the calculator window.
std::span<const std::uint8_t> SkinBitmapFile();
// The same skin drawn at 125, 150, 175 and 200 %.
std::span<const std::uint8_t> SkinBitmapFile125();
std::span<const std::uint8_t> SkinBitmapFile150();
std::span<const std::uint8_t> SkinBitmapFile175();
std::span<const std::uint8_t> SkinBitmapFile200();
// All of them, smallest first.
std::span<const std::span<const std::uint8_t>> SkinBitmapFiles();

// The 32 x 32, 16-colour program icon, as a Windows icon file.
std::span<const std::uint8_t> ProgramIconFile();
