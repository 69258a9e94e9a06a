// Reading and changing a settings file on Windows: read through a shared handle, write beside,
// flush, and move over the original with a write-through rename. rechner.exe never calls it: on
// Windows the calculator uses the system's registry and profile functions. It is here because
// the Windows build's tests run the portable file stores, their formats and their failures on
// Windows files too.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "AtomicFileParts.h"
#include "SettingValues.h"

namespace {

constexpr DWORD CopyChunk = 256 * 1024;

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path) {
    const DWORD code = GetLastError();
    const std::string message =
        std::string(what) + " " + path.string() + " (error " + std::to_string(code) + ")";
    // Another program has the file open without sharing it: that passes.
    if (code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION) {
        throw StoreBusy(message);
    }
    throw std::runtime_error(message);
}

class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
    ~Handle() {
        if (Valid()) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void Reset(HANDLE handle) {
        Close();
        handle_ = handle;
    }
    void Close() {
        if (Valid()) {
            CloseHandle(handle_);
            handle_ = INVALID_HANDLE_VALUE;
        }
    }

private:
    HANDLE handle_;
};

// The file opened for reading, letting the host read, write and replace it meanwhile; invalid
// when it does not exist.
Handle OpenForReading(const std::filesystem::path& file) {
    Handle handle(CreateFileW(file.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
            Fail("cannot read", file);
        }
    }
    return handle;
}

DWORD ReadChunk(const Handle& file, char* buffer, std::size_t size,
                const std::filesystem::path& path) {
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, CopyChunk));
    if (!ReadFile(file.Get(), buffer, wanted, &read, nullptr)) {
        Fail("cannot read", path);
    }
    return read;
}

class HandleStream : public ByteStream {
public:
    HandleStream(const Handle& file, const std::filesystem::path& path)
        : file_(file), path_(path) {}
    std::size_t ReadSome(char* buffer, std::size_t size) override {
        return ReadChunk(file_, buffer, size, path_);
    }

private:
    const Handle& file_;
    const std::filesystem::path& path_;
};

// Owns the temporary file until it has been moved over the original.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::filesystem::path& beside) {
        for (int attempt = 0; attempt < 100 && !handle_.Valid(); ++attempt) {
            path_ = TemporarySibling(beside, GetCurrentProcessId());
            handle_.Reset(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
            if (!handle_.Valid() && GetLastError() != ERROR_FILE_EXISTS) {
                Fail("cannot create", path_);
            }
        }
        if (!handle_.Valid()) {
            Fail("cannot create", path_);
        }
    }
    ~TemporaryFile() {
        handle_.Close();
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
            if (!WriteFile(handle_.Get(), contents.data(), chunk, &written, nullptr) ||
                written == 0) {
                Fail("cannot write", path_);
            }
            contents.remove_prefix(written);
        }
    }

    // Copies the source's bytes from `begin` up to `end`, or to its end, through a fixed buffer.
    void CopyFrom(const Handle& source, std::uint64_t begin, std::uint64_t end,
                  const std::filesystem::path& sourcePath) {
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(begin);
        if (!SetFilePointerEx(source.Get(), position, nullptr, FILE_BEGIN)) {
            Fail("cannot read", sourcePath);
        }
        std::vector<char> buffer(CopyChunk);
        while (begin < end) {
            const auto wanted =
                static_cast<std::size_t>(std::min<std::uint64_t>(end - begin, CopyChunk));
            const DWORD read = ReadChunk(source, buffer.data(), wanted, sourcePath);
            if (read == 0) {
                return;
            }
            Write(std::string_view(buffer.data(), read));
            begin += read;
        }
    }

    void CommitAs(const std::filesystem::path& target) {
        if (!FlushFileBuffers(handle_.Get())) {
            Fail("cannot flush", path_);
        }
        handle_.Close();
        if (!MoveFileExW(path_.c_str(), target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            Fail("cannot move over", target);
        }
        moved_ = true;
    }

private:
    std::filesystem::path path_;
    Handle handle_{INVALID_HANDLE_VALUE};
    bool moved_ = false;
};

}  // namespace

bool ReadSettingsFile(const std::filesystem::path& file,
                      const std::function<void(LineSource&)>& read) {
    const Handle source = OpenForReading(file);
    if (!source.Valid()) {
        return false;
    }
    HandleStream stream(source, file);
    FileLines lines(stream);
    read(lines);
    return true;
}

void EditSettingsFile(const std::filesystem::path& file, const SettingsFileEdit& edit) {
    std::filesystem::create_directories(file.parent_path());
    Handle source = OpenForReading(file);
    std::optional<HandleStream> stream;
    if (source.Valid()) {
        stream.emplace(source, file);
    }
    const std::vector<ByteEdit> edits = EditFileLines(stream ? &*stream : nullptr, edit);
    if (edits.empty()) {
        return;
    }
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        throw std::runtime_error("not a writable file: " + file.string());
    }
    TemporaryFile temporary(file);
    std::uint64_t copied = 0;
    for (const ByteEdit& bytes : edits) {
        if (source.Valid()) {
            temporary.CopyFrom(source, copied, bytes.KeepBefore, file);
        }
        temporary.Write(bytes.Inserted);
        copied = bytes.ResumeAt;
    }
    if (source.Valid()) {
        temporary.CopyFrom(source, copied, std::numeric_limits<std::uint64_t>::max(), file);
        source.Close();
    }
    temporary.CommitAs(file);
}
