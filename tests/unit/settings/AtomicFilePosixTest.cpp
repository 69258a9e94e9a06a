// What only a real POSIX file system shows: a writer killed at random moments, a disk that fills
// up mid-write, modes, owners and symbolic links kept, and files that are not regular files.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "AtomicFile.h"
#include "FileStores.h"
#include "SettingsTestSupport.h"

namespace {

// An owner who is not us, for the cases that need root to set up.
constexpr uid_t Stranger = 65534;

// The host's file with one value of CalcLeft, large enough that a write takes a while.
std::string HostFile(const std::string& calcLeft) {
    return "; Tembra Lidorn\r\n[Konten]\r\n" + std::string(512 * 1024, 'k') +
           "\r\n[Einstellungen]\r\nCalcLeft=" + calcLeft + "\r\nCalcTop=7\r\n";
}

std::size_t TemporariesIn(const std::filesystem::path& directory) {
    std::size_t count = 0;
    for (const std::string& name : EntriesOf(directory)) {
        count += name.find(".tmp-") != std::string::npos ? 1u : 0u;
    }
    return count;
}

struct stat StatusOf(const std::filesystem::path& file) {
    struct stat status {};
    EXPECT_EQ(lstat(file.c_str(), &status), 0) << file;
    return status;
}

TEST(ProfileFileStore, AWriterKilledAtRandomMomentsLeavesTheOldOrTheNewFileAndNoLitter) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    const std::string one = HostFile("1111");
    const std::string two = HostFile("2222");
    WriteBytes(file, one);
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> delay(0, 4000);
    for (int round = 0; round < 60; ++round) {
        const pid_t child = fork();
        ASSERT_GE(child, 0) << "fork";
        if (child == 0) {
            ProfileFileStore store(file);
            for (unsigned i = 0;; ++i) {
                try {
                    store.WriteStrings("Einstellungen",
                                       {{"CalcLeft", i % 2 == 0 ? "2222" : "1111"}});
                } catch (...) {
                    _exit(1);
                }
            }
        }
        const int microseconds = delay(random);
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "round " << round << ": the writer failed on its own";
        const std::string now = ReadBytes(file);
        ASSERT_TRUE(now == one || now == two)
            << "round " << round << ", killed after " << microseconds << " us: torn file of "
            << now.size() << " bytes";
    }
    // What the killed writers left is cleared by the next write at once.
    const std::size_t left = TemporariesIn(scratch.Path());
    ProfileFileStore(file).WriteStrings("Einstellungen", {{"CalcLeft", "3333"}});
    std::printf("killed writers left %zu temporary files; after the next write: %zu\n", left,
                TemporariesIn(scratch.Path()));
    EXPECT_EQ(TemporariesIn(scratch.Path()), 0u) << left << " left by the killed writers";
}

// Only temporary files of ours whose writer has ended are litter, however new: a running
// writer's may be a write still under way, and a file of another name is not ours at all.
TEST(EditSettingsFile, OnlyTemporaryFilesOfEndedWritersAreRemoved) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    WriteBytes(file, "[Einstellungen]\r\nCalcLeft=5\r\n");
    const pid_t ended = fork();
    ASSERT_GE(ended, 0) << "fork";
    if (ended == 0) {
        _exit(0);
    }
    waitpid(ended, nullptr, 0);
    const std::string gone = std::to_string(ended);
    const std::string running = std::to_string(getpid());
    const struct {
        std::string Name;
        bool Kept;
    } cases[] = {
        {".Quenvik.ini.tmp-" + gone + "-0123456789abcdef", false},
        {".Quenvik.ini.tmp-" + running + "-fedcba9876543210", true},
        {".Quenvik.ini.tmp-1-fedcba9876543210", true},
        {".Quenvik.ini.tmp-" + gone + "-0123456789abcdeg", true},
        {".Quenvik.ini.tmp-" + gone + "-0123456789abcde", true},
        {".Quenvik.ini.tmp-0" + gone + "-0123456789abcdef", true},
        {".Quenvik.ini.tmp--0123456789abcdef", true},
        {".registry.reg.tmp-" + gone + "-0123456789abcdef", true},
    };
    for (const auto& c : cases) {
        WriteBytes(scratch / c.Name, "half written");
    }
    ProfileFileStore(file).WriteStrings("Einstellungen", {{"CalcLeft", "6"}});
    for (const auto& c : cases) {
        EXPECT_EQ(std::filesystem::exists(scratch / c.Name), c.Kept) << c.Name;
    }
}

TEST(EditSettingsFile, ADiskFullMidWriteLeavesTheOriginalAndNoTemporaryFile) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    const std::string original = "[Einstellungen]\r\nCalcLeft=5\r\n";
    WriteBytes(file, original);
    const pid_t child = fork();
    ASSERT_GE(child, 0) << "fork";
    if (child == 0) {
        // The file size limit stands in for a full disk: writes beyond it fail with EFBIG.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            ReplaceWhole(file, std::string(1024 * 1024, 'x'));
        } catch (const std::runtime_error&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write must report failure";
    EXPECT_EQ(ReadBytes(file), original) << "after a failed 1 MiB write";
    EXPECT_EQ(TemporariesIn(scratch.Path()), 0u) << "after a failed 1 MiB write";
}

TEST(EditSettingsFile, TheNewFileHasTheOriginalsModeOwnerAndGroupFromTheStart) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    const bool root = geteuid() == 0;
    for (const mode_t mode : {0600u, 0640u, 0604u, 0666u}) {
        // The temporary file is looked at while the writer fills it, as a kill would find it.
        // The writer runs at the lowest priority, and again when it was too quick to be seen
        // on a busy machine.
        struct stat seen {};
        bool caught = false;
        for (int attempt = 0; attempt < 10 && !caught; ++attempt) {
            WriteBytes(file, "old");
            ASSERT_EQ(chmod(file.c_str(), mode), 0);
            if (root) {
                ASSERT_EQ(chown(file.c_str(), Stranger, Stranger), 0);
            }
            const pid_t child = fork();
            ASSERT_GE(child, 0) << "fork";
            if (child == 0) {
                (void)nice(19);
                EditSettingsFile(file, [&](LineSource&) {
                    return TextEdits{{0, 3, std::string(8 << 20, 'n')}};
                });
                _exit(0);
            }
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!caught && std::chrono::steady_clock::now() < deadline) {
                for (const std::string& name : EntriesOf(scratch.Path())) {
                    if (name.find(".tmp-") != std::string::npos) {
                        caught = caught || lstat((scratch / name).c_str(), &seen) == 0;
                    }
                }
            }
            int status = 0;
            waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << "mode " << std::oct << mode;
        }
        ASSERT_TRUE(caught) << "the temporary file was never seen";
        // Only the umask may have taken bits away until the mode is set exactly.
        EXPECT_EQ(seen.st_mode & ~mode & 0777, 0u)
            << "temporary file more open than mode " << std::oct << mode;
        const struct stat after = StatusOf(file);
        EXPECT_EQ(after.st_mode & 07777, mode) << "mode " << std::oct << mode;
        EXPECT_EQ(after.st_uid, root ? Stranger : geteuid()) << "owner kept";
        EXPECT_EQ(after.st_gid, root ? Stranger : getegid()) << "group kept";
        EXPECT_EQ(ReadBytes(file).size(), std::size_t{8 << 20});
    }
}

TEST(EditSettingsFile, WritesThroughLiveAndDanglingSymbolicLinks) {
    ScratchDirectory scratch;
    const auto real = scratch / "real" / "Quenvik.ini";
    std::filesystem::create_directories(real.parent_path());
    for (const bool dangling : {false, true}) {
        const auto link = scratch / "Quenvik.ini";
        std::filesystem::remove(link);
        std::filesystem::remove(real);
        if (!dangling) {
            WriteBytes(real, "old");
            std::filesystem::permissions(real, std::filesystem::perms::owner_read |
                                                   std::filesystem::perms::owner_write |
                                                   std::filesystem::perms::group_read);
        }
        std::filesystem::create_symlink("real/Quenvik.ini", link);
        ReplaceWhole(link, "new");
        const char* described = dangling ? "dangling link" : "live link";
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << described << " must stay a link";
        EXPECT_EQ(ReadBytes(real), "new") << described;
        EXPECT_EQ(ReadWhole(link), "new") << described;
        EXPECT_TRUE(std::filesystem::exists(scratch / ".Quenvik.ini.lock"))
            << described << ": the lock belongs beside the name";
        EXPECT_FALSE(std::filesystem::exists(real.parent_path() / ".Quenvik.ini.lock"))
            << described << ": a lock beside the link's target";
        if (!dangling) {
            EXPECT_EQ(StatusOf(real).st_mode & 07777, 0640u) << "mode kept through the link";
        }
    }
}

// Run as root, a link would otherwise let the user's settings read or change another user's files
// or a device. Such a file is refused as a FIFO is: unreadable, never written, and no lock or
// temporary file appears where the link leads.
TEST(SettingsFiles, ALinkIsFollowedOnlyToARegularFileInAFolderOfTheUser) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "giving a folder to another owner needs root";
    }
    ScratchDirectory scratch;
    const auto foreign = scratch / "foreign";
    std::filesystem::create_directories(foreign);
    WriteBytes(foreign / "victim.ini", "[Einstellungen]\r\nCalcLeft=1\r\n");
    ASSERT_EQ(chown(foreign.c_str(), Stranger, Stranger), 0);
    ASSERT_EQ(chown((foreign / "victim.ini").c_str(), Stranger, Stranger), 0);
    const auto settings = scratch / "settings";
    std::filesystem::create_directories(settings);
    ASSERT_EQ(mkfifo((settings / "fifo").c_str(), 0600), 0);
    const bool zeroLockBefore = std::filesystem::exists("/dev/.zero.lock");
    const struct {
        const char* Situation;
        std::filesystem::path Target;
    } cases[] = {
        {"a file in another user's folder", foreign / "victim.ini"},
        {"no file yet in another user's folder", foreign / "new.ini"},
        {"a device", "/dev/zero"},
        {"a FIFO in the user's folder", settings / "fifo"},
    };
    for (const auto& c : cases) {
        const auto link = settings / "Quenvik.ini";
        std::filesystem::remove(link);
        std::filesystem::create_symlink(c.Target, link);
        ProfileFileStore store(link);
        EXPECT_THROW(store.ReadString("Einstellungen", "CalcLeft", "", 300), std::runtime_error)
            << c.Situation;
        EXPECT_THROW(store.WriteStrings("Einstellungen", {{"CalcLeft", "5"}}), std::runtime_error)
            << c.Situation;
        EXPECT_TRUE(std::filesystem::is_symlink(link)) << c.Situation;
    }
    EXPECT_EQ(EntriesOf(foreign), std::vector<std::string>{"victim.ini"});
    EXPECT_EQ(ReadBytes(foreign / "victim.ini"), "[Einstellungen]\r\nCalcLeft=1\r\n");
    EXPECT_EQ(std::filesystem::exists("/dev/.zero.lock"), zeroLockBefore)
        << "lock beside /dev/zero";
}

TEST(EditSettingsFile, RefusesAReadOnlyFileEvenForAPrivilegedUser) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    WriteBytes(file, "old");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_THROW(ReplaceWhole(file, "new"), std::runtime_error) << "mode 0400";
    EXPECT_EQ(ReadBytes(file), "old") << "mode 0400";
}

TEST(SettingsFiles, AFifoInPlaceOfAFileOrOfTheLockFailsAtOnce) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    for (const std::filesystem::path& fifo : {file, scratch / ".Quenvik.ini.lock"}) {
        std::filesystem::remove(file);
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0) << fifo;
        const pid_t child = fork();
        ASSERT_GE(child, 0) << "fork";
        if (child == 0) {
            ProfileFileStore store(file);
            try {
                store.ReadString("Einstellungen", "CalcLeft", "", 300);
                store.WriteStrings("Einstellungen", {{"CalcLeft", "5"}});
            } catch (const std::runtime_error&) {
                _exit(fifo == file ? 0 : 1);
            }
            _exit(fifo == file ? 1 : 0);
        }
        int status = 0;
        for (int wait = 0; wait < 200 && waitpid(child, &status, WNOHANG) == 0; ++wait) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (kill(child, SIGKILL) == 0) {
            waitpid(child, &status, 0);
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
            << "a FIFO as " << fifo.filename() << ": "
            << (WIFSIGNALED(status) ? "hung until killed" : "wrong outcome");
        std::filesystem::remove(fifo);
    }
}

}  // namespace
