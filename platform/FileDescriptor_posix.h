#pragma once
// An owned POSIX file descriptor, closed when it goes out of scope, so that no early return leaks
// a lock or a directory.

#include <unistd.h>

#include <utility>

class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : Descriptor_(descriptor) {}
    FileDescriptor(FileDescriptor&& other) noexcept
        : Descriptor_(std::exchange(other.Descriptor_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) {
            Close();
            Descriptor_ = std::exchange(other.Descriptor_, -1);
        }
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int Get() const { return Descriptor_; }
    bool Valid() const { return Descriptor_ >= 0; }

private:
    void Close() {
        if (Descriptor_ >= 0) {
            ::close(Descriptor_);
            Descriptor_ = -1;
        }
    }

    int Descriptor_ = -1;
};
