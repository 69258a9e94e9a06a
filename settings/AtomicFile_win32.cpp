// Atomic replacement of a settings file on Windows: write beside, flush, and move over the
// original with a write-through rename.
#include <windows.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "AtomicFile.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path) {
    const DWORD code = GetLastError();
    throw std::runtime_error(std::string(what) + " " + path.string() + " (error " +
                             std::to_string(code) + ")");
}

// Owns the temporary file until it has been moved over the original.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& beside) {
        for (int attempt = 0; attempt < 100 && handle_ == INVALID_HANDLE_VALUE; ++attempt) {
            path_ = TemporarySibling(beside);
            handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
            if (handle_ == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) {
                Fail("cannot create", path_);
            }
        }
        if (handle_ == INVALID_HANDLE_VALUE) {
            Fail("cannot create", path_);
        }
    }
    ~TemporaryFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
        if (!moved_) {
            DeleteFileW(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    void Write(std::string_view contents) {
        while (!contents.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(contents.size(), 1 << 20));
            DWORD written = 0;
            if (!WriteFile(handle_, contents.data(), chunk, &written, nullptr) || written == 0) {
                Fail("cannot write", path_);
            }
            contents.remove_prefix(written);
        }
    }

    void CommitAs(const std::filesystem::path& target) {
        if (!FlushFileBuffers(handle_)) {
            Fail("cannot flush", path_);
        }
        CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        if (!MoveFileExW(path_.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            Fail("cannot move over", target);
        }
        moved_ = true;
    }

private:
    std::filesystem::path path_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    bool moved_ = false;
};

}  // namespace

void ReplaceFileAtomically(const std::filesystem::path& file, std::string_view contents) {
    std::filesystem::create_directories(file.parent_path());
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            Fail("cannot inspect", file);
        }
    } else if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        throw std::runtime_error("not a writable file: " + file.string());
    }
    TemporaryFile temporary(file);
    temporary.Write(contents);
    temporary.CommitAs(file);
}
