#pragma once
// The folder that holds the settings files, opened once for each read or write, so that all the
// files' operations happen in the folder that was checked, even when its name is changed
// meanwhile. The folders above it are the user's choice and followed wherever they lead; the
// folder itself is taken through a link, and used at all, only when it belongs to the user.
// Otherwise another user who can write beside it (a configuration home in a shared folder) could
// point it at any folder of the user's, or hand over a folder of their own.

#include <filesystem>

#include "FileDescriptor_posix.h"

class SettingsFolder {
public:
    enum class Access { CreateIfMissing, ExistingOnly };

    // Opens `folder`, first creating it and the folders above it where asked to. Throws
    // std::runtime_error, saying why, for a folder or link that belongs to someone else, and for
    // a folder that cannot be created.
    SettingsFolder(const std::filesystem::path& folder, Access access);

    // False for a missing folder that was not to be created.
    bool Exists() const { return folder_.Valid(); }

    // The path of a file in the folder, which reaches it through the opened folder rather than
    // by the folder's name.
    std::filesystem::path FileNamed(const std::filesystem::path& name) const;

private:
    std::filesystem::path path_;
    FileDescriptor folder_;
};
