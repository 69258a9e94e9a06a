// What keeps a settings file whole and in the user's hands, seen from outside: the new file is
// on the disk before it takes the old one's place, neither the file nor the writers' lock is
// opened through a symbolic link that someone else may have planted, the folder is the user's,
// and a lock other users can hold keeps no write out.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <mutex>
#include <string>
#include <vector>

#include "AtomicFile.h"
#include "FileSnapshot_posix.h"
#include "SettingsTestSupport.h"

namespace {

// The names handed to fsync and rename by this process, in order, while recording.
struct FileCalls {
    std::mutex Mutex;
    bool Recording = false;
    std::vector<std::string> Calls;

    void Record(const std::string& call) {
        const std::lock_guard<std::mutex> guard(Mutex);
        if (Recording) {
            Calls.push_back(call);
        }
    }
};

FileCalls& Recorded() {
    static FileCalls calls;
    return calls;
}

std::string NameOfDescriptor(int descriptor) {
    std::string target(4096, '\0');
    const ssize_t length = ::readlink(("/proc/self/fd/" + std::to_string(descriptor)).c_str(),
                                      target.data(), target.size());
    target.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return std::filesystem::path(target).filename().string();
}

}  // namespace

// The program's calls reach these instead of the C library's, which they then make themselves.
extern "C" int fsync(int descriptor) {
    Recorded().Record("fsync " + NameOfDescriptor(descriptor));
    return static_cast<int>(::syscall(SYS_fsync, descriptor));
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned flags) {
    Recorded().Record("rename " + std::filesystem::path(from).filename().string());
    return static_cast<int>(::syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}

namespace {

TEST(EditSettingsFile, TheNewFileReachesTheDiskBeforeItReplacesTheOldOne) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    for (const bool exists : {false, true}) {
        {
            const std::lock_guard<std::mutex> guard(Recorded().Mutex);
            Recorded().Calls.clear();
            Recorded().Recording = true;
        }
        ReplaceWhole(file, exists ? "second" : "first");
        std::vector<std::string> calls;
        {
            const std::lock_guard<std::mutex> guard(Recorded().Mutex);
            Recorded().Recording = false;
            calls = Recorded().Calls;
        }
        std::string shown;
        for (const std::string& call : calls) {
            shown.append(call).append("; ");
        }
        const char* situation = exists ? "replacing the file" : "creating the file";
        std::size_t renames = 0;
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (!calls[i].starts_with("rename ") || calls[i].find(".tmp-") == std::string::npos) {
                continue;
            }
            ++renames;
            const std::string synced = "fsync " + calls[i].substr(7);
            bool before = false;
            for (std::size_t j = 0; j < i; ++j) {
                before = before || calls[j] == synced;
            }
            EXPECT_TRUE(before) << situation << ": renamed unflushed: " << shown;
        }
        EXPECT_GE(renames, 1u) << situation << ": " << shown;
        EXPECT_EQ(ReadBytes(file), exists ? "second" : "first");
    }
}

TEST(SettingsFiles, NeitherTheFileNorTheLockIsOpenedThroughALinkLeftInTheirPlace) {
    ScratchDirectory scratch;
    std::filesystem::create_directories(scratch / "elsewhere");
    WriteBytes(scratch / "elsewhere" / "other.ini", "[Einstellungen]\r\nCalcLeft=1\r\n");

    // The snapshot of a write is never taken through a link: that is resolved, and checked,
    // before.
    std::filesystem::create_symlink(scratch / "elsewhere" / "other.ini", scratch / "linked.ini");
    EXPECT_THROW(OpenSettled(scratch / "linked.ini"), std::runtime_error)
        << "the snapshot followed a link";

    // A lock file that is a link to a place with nothing yet: the write goes on without the
    // lock, and nothing is created where the link leads.
    const auto file = scratch / "Quenvik.ini";
    const auto lock = scratch / ".Quenvik.ini.lock";
    const auto target = scratch / "elsewhere" / "planted";
    std::filesystem::create_symlink(target, lock);
    ReplaceWhole(file, "[Einstellungen]\r\nCalcLeft=2\r\n");
    EXPECT_EQ(ReadBytes(file), "[Einstellungen]\r\nCalcLeft=2\r\n");
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(target)))
        << "the lock's link was followed and its target created";
    EXPECT_TRUE(std::filesystem::is_symlink(lock));
}

TEST(SettingsFiles, TheFolderIsTakenThroughALinkOrAtAllOnlyWhenItIsTheUsers) {
    // What stands at the folder's name, and who owns it.
    enum class Folder { OwnLink, ForeignLink, ForeignFolder };
    for (const Folder kind : {Folder::OwnLink, Folder::ForeignLink, Folder::ForeignFolder}) {
        if (kind != Folder::OwnLink && ::geteuid() != 0) {
            continue;  // only root can give a link or a folder to someone else
        }
        ScratchDirectory scratch;
        const auto documents = scratch / "Documents";
        const auto folder = scratch / "Tembra-Lidorn";
        std::filesystem::create_directories(documents);
        if (kind == Folder::ForeignFolder) {
            std::filesystem::create_directories(folder);
            ASSERT_EQ(::chown(folder.c_str(), 65534, 65534), 0);
        } else {
            std::filesystem::create_directory_symlink(documents, folder);
            if (kind == Folder::ForeignLink) {
                ASSERT_EQ(::lchown(folder.c_str(), 65534, 65534), 0);
            }
        }
        const auto file = folder / "Quenvik.ini";
        if (kind == Folder::OwnLink) {
            ReplaceWhole(file, "[Einstellungen]\r\nCalcLeft=4\r\n");
            EXPECT_EQ(ReadBytes(documents / "Quenvik.ini"), "[Einstellungen]\r\nCalcLeft=4\r\n");
            continue;
        }
        const char* described = kind == Folder::ForeignLink ? "foreign link" : "foreign folder";
        EXPECT_THROW(ReplaceWhole(file, "[Einstellungen]\r\n"), std::runtime_error) << described;
        EXPECT_THROW(ReadSettingsFile(file, [](LineSource&) {}), std::runtime_error) << described;
        EXPECT_TRUE(std::filesystem::is_empty(documents)) << described;
        EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::canonical(folder))) << described;
    }
}

TEST(SettingsFiles, ALockOtherUsersCanHoldKeepsNoWriteOutLongerThanOneTry) {
    // The lock file as another user may find it: given to them (as root can), or readable.
    for (const bool foreign : {true, false}) {
        if (foreign && ::geteuid() != 0) {
            continue;
        }
        ScratchDirectory scratch;
        const auto file = scratch / "Quenvik.ini";
        const auto lock = scratch / ".Quenvik.ini.lock";
        WriteBytes(lock, "");
        if (foreign) {
            ASSERT_EQ(::chown(lock.c_str(), 65534, 65534), 0);
        } else {
            std::filesystem::permissions(lock, std::filesystem::perms::others_read,
                                         std::filesystem::perm_options::add);
        }
        const FileDescriptor holder(::open(lock.c_str(), O_RDONLY | O_CLOEXEC));
        ASSERT_EQ(::flock(holder.Get(), LOCK_EX), 0);
        testing::internal::CaptureStderr();
        ReplaceWhole(file, "[Einstellungen]\r\nCalcLeft=3\r\n");
        const std::string told = testing::internal::GetCapturedStderr();
        EXPECT_EQ(ReadBytes(file), "[Einstellungen]\r\nCalcLeft=3\r\n")
            << (foreign ? "foreign" : "readable") << " lock";
        EXPECT_NE(told.find("other users can hold it"), std::string::npos) << told;
    }
}

}  // namespace
