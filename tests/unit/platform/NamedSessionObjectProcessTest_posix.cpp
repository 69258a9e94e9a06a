// Named session objects across processes on POSIX: another holder is seen, a holder's death
// releases the name however it dies, simultaneous starts agree on one creator, and asking for a
// name neither creates nor disturbs anything.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "HolderProcess_posix.h"
#include "NamedSessionObject.h"
#include "TestDirectories_posix.h"

namespace {

enum class HolderEnd { Release, Kill };

const char* Describe(HolderEnd end) {
    return end == HolderEnd::Release ? "released normally" : "killed with SIGKILL";
}

// Processes that each ask for a name a number of times and count the true answers.
class Probers {
public:
    Probers(const std::string& name, int processes, int probes) {
        int reports[2];
        if (pipe(reports) != 0) {
            throw std::system_error(errno, std::generic_category(), "pipe");
        }
        reports_ = FileDescriptor(reports[0]);
        for (int process = 0; process < processes; ++process) {
            const pid_t child = fork();
            if (child == 0) {
                int answeredTrue = 0;
                for (int probe = 0; probe < probes; ++probe) {
                    answeredTrue += NamedSessionObjectExists(name) ? 1 : 0;
                }
                const auto size = static_cast<ssize_t>(sizeof answeredTrue);
                _exit(write(reports[1], &answeredTrue, sizeof answeredTrue) == size ? 0 : 1);
            }
            children_.push_back(child);
        }
        close(reports[1]);
    }

    // Waits for every prober; one count of true answers per prober, -1 for one that failed.
    std::vector<int> Finish() {
        std::vector<int> counts;
        for (const pid_t child : children_) {
            int answeredTrue = -1;
            if (read(reports_.Get(), &answeredTrue, sizeof answeredTrue) !=
                static_cast<ssize_t>(sizeof answeredTrue)) {
                answeredTrue = -1;
            }
            int status = 0;
            waitpid(child, &status, 0);
            counts.push_back(answeredTrue);
        }
        return counts;
    }

private:
    FileDescriptor reports_;
    std::vector<pid_t> children_;
};

}  // namespace

TEST(NamedSessionObject, AHolderInAnotherProcessIsSeenUntilItEnds) {
    for (const HolderEnd end : {HolderEnd::Release, HolderEnd::Kill}) {
        const PrivateRuntimeDirectory runtime;
        HolderProcess holder("TembraLidornCalcActive");
        ASSERT_EQ(holder.State(), SessionObjectState::Created) << Describe(end);
        EXPECT_TRUE(NamedSessionObjectExists("TembraLidornCalcActive")) << Describe(end);
        {
            const NamedSessionObject second("TembraLidornCalcActive");
            EXPECT_EQ(second.State(), SessionObjectState::AlreadyExisted) << Describe(end);
        }
        EXPECT_TRUE(NamedSessionObjectExists("TembraLidornCalcActive"))
            << "our own release must not end the other holder's hold; holder " << Describe(end);
        end == HolderEnd::Release ? holder.Release() : holder.Kill();
        EXPECT_FALSE(NamedSessionObjectExists("TembraLidornCalcActive"))
            << "after the holder was " << Describe(end);
        const NamedSessionObject after("TembraLidornCalcActive");
        EXPECT_EQ(after.State(), SessionObjectState::Created)
            << "after the holder was " << Describe(end);
    }
}

TEST(NamedSessionObject, OfSimultaneousCreatorsExactlyOneSeesCreated) {
    constexpr int Creators = 8;
    constexpr int Rounds = 10;
    const PrivateRuntimeDirectory runtime;
    for (int round = 0; round < Rounds; ++round) {
        const std::string name = "Race" + std::to_string(round);
        StartGate gate;
        std::vector<std::unique_ptr<HolderProcess>> holders;
        for (int creator = 0; creator < Creators; ++creator) {
            holders.push_back(std::make_unique<HolderProcess>(name, &gate));
        }
        gate.Open();
        int created = 0;
        int alreadyExisted = 0;
        for (const auto& holder : holders) {
            const SessionObjectState state = holder->State();
            created += state == SessionObjectState::Created ? 1 : 0;
            alreadyExisted += state == SessionObjectState::AlreadyExisted ? 1 : 0;
        }
        EXPECT_EQ(created, 1) << Creators << " creators of " << name;
        EXPECT_EQ(alreadyExisted, Creators - 1) << Creators << " creators of " << name;
    }
}

TEST(NamedSessionObjectExists, CreatesNothing) {
    const PrivateRuntimeDirectory runtime;
    EXPECT_FALSE(NamedSessionObjectExists("TembraLidornCalcClose")) << "in an empty directory";
    EXPECT_TRUE(runtime.Directory.Entries().empty()) << "after asking in an empty directory";

    { const NamedSessionObject once("TembraLidornCalcActive"); }
    const std::vector<std::string> before = runtime.Directory.Entries();
    EXPECT_FALSE(NamedSessionObjectExists("TembraLidornCalcActive")) << "after its release";
    EXPECT_FALSE(NamedSessionObjectExists("TembraLidornCalcClose")) << "never created";
    EXPECT_EQ(runtime.Directory.Entries(), before) << "asking must not add a lock file";
}

// A probe briefly locks the name exclusively. Neither another probe nor a starting calculator may
// take that for a holder: the calculator would quit, believing another one runs.
TEST(NamedSessionObjectExists, ProbesDisturbNeitherEachOtherNorCreators) {
    constexpr int Processes = 3;
    constexpr int Probes = 3000;
    constexpr int Creations = 1000;
    const PrivateRuntimeDirectory runtime;
    { const NamedSessionObject once("Probed"); }
    {
        Probers probers("Probed", Processes, Probes);
        for (const int answeredTrue : probers.Finish()) {
            EXPECT_EQ(answeredTrue, 0) << Probes << " probes of a name nobody holds, " << Processes
                                       << " processes probing";
        }
    }
    Probers probers("Probed", Processes, Probes);
    int notCreated = 0;
    for (int creation = 0; creation < Creations; ++creation) {
        const NamedSessionObject object("Probed");
        notCreated += object.State() == SessionObjectState::Created ? 0 : 1;
    }
    EXPECT_EQ(notCreated, 0) << Creations << " creations of a free name while " << Processes
                             << " processes probe it";
    for (const int answeredTrue : probers.Finish()) {
        EXPECT_GE(answeredTrue, 0) << "a prober failed to report";
    }
}
