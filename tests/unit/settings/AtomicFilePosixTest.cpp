// What only a real POSIX file system shows: a writer killed at random moments, a disk that fills
// up mid-write, permissions and symbolic links kept.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
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

// The host's file with one value of CalcLeft, large enough that a write takes a while.
std::string HostFile(const std::string& calcLeft) {
    return "; Tembra Lidorn\r\n[Konten]\r\n" + std::string(512 * 1024, 'k') +
           "\r\n[Einstellungen]\r\nCalcLeft=" + calcLeft + "\r\nCalcTop=7\r\n";
}

TEST(ProfileFileStore, AWriterKilledAtRandomMomentsLeavesTheOldOrTheNewFile) {
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
                    store.WriteString("Einstellungen", "CalcLeft", i % 2 == 0 ? "2222" : "1111");
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
}

TEST(ReplaceFileAtomically, ADiskFullMidWriteLeavesTheOriginalAndNoTemporaryFile) {
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
            ReplaceFileAtomically(file, std::string(1024 * 1024, 'x'));
        } catch (const std::runtime_error&) {
            _exit(0);
        }
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the write must report failure";
    EXPECT_EQ(ReadBytes(file), original) << "after a failed 1 MiB write";
    EXPECT_EQ(EntriesOf(scratch.Path()), std::vector<std::string>{"Quenvik.ini"})
        << "after a failed 1 MiB write";
}

TEST(ReplaceFileAtomically, KeepsPermissionsAndWritesThroughSymbolicLinks) {
    ScratchDirectory scratch;
    const auto real = scratch / "real.ini";
    const auto link = scratch / "Quenvik.ini";
    WriteBytes(real, "old");
    const auto mode = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                      std::filesystem::perms::group_read;
    std::filesystem::permissions(real, mode);
    std::filesystem::create_symlink(real, link);

    ReplaceFileAtomically(link, "new");
    EXPECT_TRUE(std::filesystem::is_symlink(link)) << "the link must stay a link";
    EXPECT_EQ(ReadBytes(real), "new") << "the linked file gets the contents";
    EXPECT_EQ(std::filesystem::status(real).permissions(), mode) << "mode 0640 kept";
}

TEST(ReplaceFileAtomically, RefusesAReadOnlyFileEvenForAPrivilegedUser) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    WriteBytes(file, "old");
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);
    EXPECT_THROW(ReplaceFileAtomically(file, "new"), std::runtime_error) << "mode 0400";
    EXPECT_EQ(ReadBytes(file), "old") << "mode 0400";
}

}  // namespace
