// Reading and changing a settings file on POSIX systems, beside a host that may write it at the
// same time. A write takes the writers' lock, derives the new file from a settled snapshot of the
// old one, and puts it in place only if the old one is still what was read; otherwise it reads
// again and redoes the edit. Writers that take no lock are caught by that check up to the moment
// of the rename; the rename itself is an exchange, so one that slips in even then is seen and
// given back at once.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "AtomicFileParts.h"
#include "FileSnapshot_posix.h"
#include "SettingValues.h"
#include "SettingsFolder_posix.h"
#include "WriterLock_posix.h"

namespace {

// How often an edit is redone for a file that changed under it before the write gives up.
constexpr int MaxAttempts = 8;
constexpr int MaxLinkHops = 40;
constexpr std::size_t CopyChunk = 256 * 1024;

[[noreturn]] void Fail(const char* what, const std::filesystem::path& path) {
    const int code = errno;
    throw std::runtime_error(std::string(what) + " " + path.string() + ": " + std::strerror(code));
}

class DescriptorStream : public ByteStream {
public:
    DescriptorStream(int descriptor, std::filesystem::path path)
        : descriptor_(descriptor), path_(std::move(path)) {}
    std::size_t ReadSome(char* buffer, std::size_t size) override {
        for (;;) {
            const ssize_t read = ::read(descriptor_, buffer, size);
            if (read >= 0) {
                return static_cast<std::size_t>(read);
            }
            if (errno != EINTR) {
                Fail("cannot read", path_);
            }
        }
    }

private:
    int descriptor_;
    std::filesystem::path path_;
};

// Owns the temporary file until it has been put in place. It has the original's mode, owner
// and group from its creation on, so no moment exposes the contents to anyone the original
// kept out, and the file the host finds afterwards is still its own.
class TemporaryFile {
public:
    TemporaryFile(const std::filesystem::path& beside, const FileSnapshot& original) {
        const bool exists = original.Identity.has_value();
        const mode_t mode = exists ? original.Status.st_mode & 07777 : 0666;
        for (int attempt = 0; attempt < 100 && !file_.Valid(); ++attempt) {
            path_ = TemporarySibling(beside, static_cast<unsigned long>(::getpid()));
            file_ = FileDescriptor(
                ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode & 0777));
            if (!file_.Valid() && errno != EEXIST) {
                Fail("cannot create", path_);
            }
        }
        if (!file_.Valid()) {
            Fail("cannot create", path_);
        }
        if (exists) {
            TakeOwnership(original.Status.st_uid, original.Status.st_gid);
            // The umask only took bits away; the original's exact mode comes after the owner,
            // since a change of owner clears the set-user-ID bit.
            if (::fchmod(file_.Get(), mode) != 0) {
                Fail("cannot set the permissions of", path_);
            }
        } else if (::geteuid() == 0) {
            // Root creating the user's file gives it to the owner of the user's folder.
            struct stat folder {};
            if (::stat(beside.parent_path().c_str(), &folder) == 0) {
                TakeOwnership(folder.st_uid, folder.st_gid);
            }
        }
    }
    ~TemporaryFile() {
        if (!released_) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    int Descriptor() const { return file_.Get(); }
    // The file is in place under another name; nothing is left to remove.
    void Release() { released_ = true; }

    void Write(std::string_view contents) {
        while (!contents.empty()) {
            const ssize_t written = ::write(file_.Get(), contents.data(), contents.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                Fail("cannot write", path_);
            }
            contents.remove_prefix(static_cast<std::size_t>(written));
        }
    }

    // Copies the source's bytes from `begin` up to `end` through a buffer of fixed size.
    void CopyFrom(int source, off_t begin, off_t end, const std::filesystem::path& sourcePath) {
        std::vector<char> buffer(CopyChunk);
        while (begin < end) {
            const auto wanted = static_cast<std::size_t>(std::min<off_t>(end - begin, CopyChunk));
            const ssize_t read = ::pread(source, buffer.data(), wanted, begin);
            if (read < 0 && errno == EINTR) {
                continue;
            }
            if (read < 0) {
                Fail("cannot read", sourcePath);
            }
            if (read == 0) {
                // Shorter than when it was read: the check before the rename turns this down.
                return;
            }
            Write(std::string_view(buffer.data(), static_cast<std::size_t>(read)));
            begin += read;
        }
    }

    void Flush() {
        if (::fsync(file_.Get()) != 0) {
            Fail("cannot flush", path_);
        }
    }

private:
    void TakeOwnership(uid_t owner, gid_t group) {
        struct stat created {};
        if (::fstat(file_.Get(), &created) != 0) {
            Fail("cannot inspect", path_);
        }
        if ((created.st_uid != owner || created.st_gid != group) &&
            ::fchown(file_.Get(), owner, group) != 0) {
            Fail("cannot keep the owner and group for", path_);
        }
    }

    std::filesystem::path path_;
    FileDescriptor file_;
    bool released_ = false;
};

std::optional<FileIdentity> IdentityAt(const std::filesystem::path& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return std::nullopt;
    }
    return IdentityOf(status);
}

bool Renamed(const TemporaryFile& temporary, const std::filesystem::path& target, unsigned flags) {
    return ::renameat2(AT_FDCWD, temporary.Path().c_str(), AT_FDCWD, target.c_str(), flags) == 0;
}

// After a failed Renamed: whether the file system merely lacks the flags, so that the caller
// has to do without them.
bool FlagsUnsupported() {
    return errno == EINVAL || errno == ENOSYS || errno == ENOTSUP;
}

void RenameOver(const TemporaryFile& temporary, const std::filesystem::path& target) {
    if (!Renamed(temporary, target, 0)) {
        Fail("cannot rename over", target);
    }
}

enum class Publication { Done, Changed };

Publication PutNewFile(const TemporaryFile& temporary, const std::filesystem::path& target) {
    // Only if nobody created the file since it was found missing.
    if (Renamed(temporary, target, RENAME_NOREPLACE)) {
        return Publication::Done;
    }
    if (errno == EEXIST) {
        return Publication::Changed;
    }
    if (!FlagsUnsupported()) {
        Fail("cannot create", target);
    }
    if (IdentityAt(target)) {
        return Publication::Changed;
    }
    RenameOver(temporary, target);
    return Publication::Done;
}

void ExchangeBack(const TemporaryFile& temporary, const std::filesystem::path& target) {
    if (!Renamed(temporary, target, RENAME_EXCHANGE)) {
        Fail("cannot put back", target);
    }
}

Publication Publish(TemporaryFile& temporary, const std::filesystem::path& target,
                    const std::optional<FileIdentity>& read) {
    if (!read) {
        return PutNewFile(temporary, target);
    }
    const std::optional<FileIdentity> before = IdentityAt(target);
    if (!before || !SameIdentity(*before, *read)) {
        return Publication::Changed;
    }
    if (!Renamed(temporary, target, RENAME_EXCHANGE)) {
        if (!FlagsUnsupported()) {
            Fail("cannot rename over", target);
        }
        RenameOver(temporary, target);
        return Publication::Done;
    }
    // The temporary name now holds the file that was replaced.
    const std::optional<FileIdentity> replaced = IdentityAt(temporary.Path());
    if (replaced && SameContents(*replaced, *read)) {
        ::unlink(temporary.Path().c_str());
        return Publication::Done;
    }
    // Someone changed the file after the check: theirs goes back at once. Should yet another
    // file of theirs have replaced ours meanwhile, that newer one is put back instead.
    struct stat ours {};
    ::fstat(temporary.Descriptor(), &ours);
    ExchangeBack(temporary, target);
    const std::optional<FileIdentity> returned = IdentityAt(temporary.Path());
    if (returned && returned->Inode != ours.st_ino) {
        ExchangeBack(temporary, target);
    }
    return Publication::Changed;
}

void SyncDirectory(const std::filesystem::path& directory) {
    const FileDescriptor folder(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) {
        // The file is already in place; a directory that cannot be flushed changes nothing.
        static_cast<void>(::fsync(folder.Get()));
    }
}

// The file a settings name stands for: the name itself, or where its symbolic links lead.
// Renaming over a link would replace the link, so the file it points at is meant, also when that
// does not exist yet; but only a regular file (or none yet) in a folder of the settings folder's
// owner, so that a link cannot make us read or write a device, or, run as root, create or change
// files in someone else's place. Anything else is refused as unreadable.
std::filesystem::path SettingsFileTarget(const std::filesystem::path& file) {
    std::filesystem::path current = file;
    for (int hop = 0; hop <= MaxLinkHops; ++hop) {
        struct stat status {};
        const bool exists = ::lstat(current.c_str(), &status) == 0;
        if (!exists && errno != ENOENT) {
            Fail("cannot inspect", current);
        }
        if (exists && S_ISLNK(status.st_mode)) {
            const std::filesystem::path link = std::filesystem::read_symlink(current);
            current = link.is_absolute() ? link : current.parent_path() / link;
            continue;
        }
        if (hop == 0) {
            return current;
        }
        struct stat linkFolder {};
        struct stat targetFolder {};
        if ((exists && !S_ISREG(status.st_mode)) ||
            ::stat(file.parent_path().c_str(), &linkFolder) != 0 ||
            ::stat(current.parent_path().c_str(), &targetFolder) != 0 ||
            !S_ISDIR(targetFolder.st_mode) || targetFolder.st_uid != linkFolder.st_uid) {
            throw std::runtime_error("the settings file links to a place not the user's: " +
                                     current.string());
        }
        return current;
    }
    throw std::runtime_error("too many symbolic links: " + file.string());
}

void CheckWritable(const std::filesystem::path& target, const FileSnapshot& snapshot) {
    // Write permission is checked on the bits as well, since a privileged user passes access().
    if (snapshot.Identity &&
        ((snapshot.Status.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0)) {
        throw std::runtime_error("not a writable file: " + target.string());
    }
}

}  // namespace

bool ReadSettingsFile(const std::filesystem::path& file,
                      const std::function<void(LineSource&)>& read) {
    const SettingsFolder folder(file.parent_path(), SettingsFolder::Access::ExistingOnly);
    if (!folder.Exists()) {
        return false;
    }
    const std::filesystem::path target = SettingsFileTarget(folder.FileNamed(file.filename()));
    const FileSnapshot snapshot = OpenSettled(target);
    if (!snapshot.Identity) {
        return false;
    }
    DescriptorStream stream(snapshot.File.Get(), target);
    FileLines lines(stream);
    read(lines);
    return true;
}

void EditSettingsFile(const std::filesystem::path& file, const SettingsFileEdit& edit) {
    const SettingsFolder folder(file.parent_path(), SettingsFolder::Access::CreateIfMissing);
    const std::filesystem::path inFolder = folder.FileNamed(file.filename());
    const std::filesystem::path target = SettingsFileTarget(inFolder);
    std::filesystem::create_directories(target.parent_path());
    // Beside the name, where every writer of the user's settings looks for it, and never in the
    // folder a link leads to.
    const WriterLock lock(inFolder);
    if (lock.Held()) {
        RemoveStaleTemporaries(target);
    }
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        const FileSnapshot snapshot = OpenSettled(target);
        std::optional<DescriptorStream> stream;
        if (snapshot.Identity) {
            stream.emplace(snapshot.File.Get(), target);
        }
        const std::vector<ByteEdit> edits = EditFileLines(stream ? &*stream : nullptr, edit);
        if (edits.empty()) {
            return;
        }
        CheckWritable(target, snapshot);
        TemporaryFile temporary(target, snapshot);
        off_t copied = 0;
        for (const ByteEdit& bytes : edits) {
            if (snapshot.Identity) {
                temporary.CopyFrom(snapshot.File.Get(), copied,
                                   static_cast<off_t>(bytes.KeepBefore), target);
            }
            temporary.Write(bytes.Inserted);
            copied = static_cast<off_t>(bytes.ResumeAt);
        }
        if (snapshot.Identity) {
            temporary.CopyFrom(snapshot.File.Get(), copied, snapshot.Status.st_size, target);
        }
        temporary.Flush();
        if (Publish(temporary, target, snapshot.Identity) == Publication::Done) {
            temporary.Release();
            struct stat written {};
            if (::fstat(temporary.Descriptor(), &written) == 0) {
                RememberWrittenWhole(target, IdentityOf(written));
            }
            SyncDirectory(target.parent_path());
            return;
        }
    }
    throw StoreBusy("the file kept changing while it was written: " + target.string());
}
