#pragma once
// Reading and changing the settings files shared with the host. A file is read a line at a time
// and changed by one edit; the changed file is written beside the original, flushed to the disk
// and renamed over it, so a crash, a kill or a full disk leaves either the old file or the new
// one, never a mixture and never an empty file.

#include <filesystem>
#include <functional>

#include "TextLines.h"

// Calls `read` with the file's lines; returns false, without calling it, when the file does not
// exist. Throws StoreBusy when the file kept changing for the time a read may wait, and
// std::runtime_error when it exists but cannot be read.
bool ReadSettingsFile(const std::filesystem::path& file,
                      const std::function<void(LineSource&)>& read);

// The edits `edit` makes, given the file's lines (none when it does not exist yet); none leaves
// the file alone.
using SettingsFileEdit = std::function<TextEdits(LineSource&)>;

// Creates the directory if needed and makes the edit. `edit` may be called again with the
// file's new lines when someone else changed the file meanwhile. A read-only file is left alone,
// as the platform refuses to write it. Throws StoreBusy when the file kept changing or another
// writer held it, and std::runtime_error (or std::filesystem::filesystem_error) on any other
// failure; the original then stays as it was.
void EditSettingsFile(const std::filesystem::path& file, const SettingsFileEdit& edit);
