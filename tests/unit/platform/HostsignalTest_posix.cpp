// The hostsignal program as a test or a person runs it: raising and holding the close signal,
// asking whether a calculator runs, and refusing bad usage. Every case runs in a private runtime
// directory, so no real calculator is ever closed or counted.

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "HolderProcess_posix.h"
#include "NamedSessionObject.h"
#include "TestDirectories_posix.h"

namespace {

constexpr const char* Hostsignal = RECHNER_HOSTSIGNAL_PATH;

// hostsignal started with arguments, its standard output and error read through pipes.
class HostsignalProcess {
public:
    explicit HostsignalProcess(const std::vector<std::string>& arguments) {
        int output[2];
        int errors[2];
        if (pipe(output) != 0 || pipe(errors) != 0) {
            throw std::system_error(errno, std::generic_category(), "pipe");
        }
        child_ = fork();
        if (child_ == 0) {
            dup2(output[1], STDOUT_FILENO);
            dup2(errors[1], STDERR_FILENO);
            std::vector<char*> argv{const_cast<char*>(Hostsignal)};
            for (const std::string& argument : arguments) {
                argv.push_back(const_cast<char*>(argument.c_str()));
            }
            argv.push_back(nullptr);
            execv(Hostsignal, argv.data());
            _exit(127);
        }
        close(output[1]);
        close(errors[1]);
        output_ = FileDescriptor(output[0]);
        errors_ = FileDescriptor(errors[0]);
    }

    ~HostsignalProcess() {
        if (child_ > 0) {
            kill(child_, SIGKILL);
            Wait();
        }
    }

    HostsignalProcess(const HostsignalProcess&) = delete;
    HostsignalProcess& operator=(const HostsignalProcess&) = delete;

    // One line of standard output, without its newline; empty at end of output.
    std::string ReadLine() {
        std::string line;
        char c = 0;
        while (read(output_.Get(), &c, 1) == 1 && c != '\n') {
            line += c;
        }
        return line;
    }

    std::string ReadErrors() { return ReadAll(errors_); }
    std::string ReadOutput() { return ReadAll(output_); }

    void Signal(int number) { kill(child_, number); }

    // The exit code, or 128 + SIGKILL when it had to be killed after `limit`.
    int WaitAtMost(std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        int status = 0;
        while (waitpid(child_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() >= deadline) {
                kill(child_, SIGKILL);
                return Wait();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        child_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    // The exit code, or 128 + the signal that ended it.
    int Wait() {
        int status = 0;
        while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
        child_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    static std::string ReadAll(const FileDescriptor& from) {
        std::string text;
        char buffer[256];
        ssize_t count = 0;
        while ((count = read(from.Get(), buffer, sizeof buffer)) > 0) {
            text.append(buffer, static_cast<std::size_t>(count));
        }
        return text;
    }

    pid_t child_ = -1;
    FileDescriptor output_;
    FileDescriptor errors_;
};

int ExitCodeOf(const std::vector<std::string>& arguments) {
    HostsignalProcess process(arguments);
    return process.Wait();
}

}  // namespace

TEST(Hostsignal, RunningAnswersWhetherACalculatorHoldsItsNameAndCreatesNothing) {
    const PrivateRuntimeDirectory runtime;
    EXPECT_EQ(ExitCodeOf({"running"}), 1) << "hostsignal running with no calculator";
    EXPECT_TRUE(runtime.Directory.Entries().empty()) << "hostsignal running created something";

    HolderProcess calculator("TembraLidornCalcActive");
    ASSERT_EQ(calculator.State(), SessionObjectState::Created);
    const std::vector<std::string> before = runtime.Directory.Entries();
    EXPECT_EQ(ExitCodeOf({"running"}), 0) << "hostsignal running while a calculator runs";
    EXPECT_EQ(runtime.Directory.Entries(), before) << "hostsignal running created something";

    calculator.Kill();
    EXPECT_EQ(ExitCodeOf({"running"}), 1) << "hostsignal running after the calculator was killed";
}

TEST(Hostsignal, CloseHoldsTheSignalForTheGivenTime) {
    const PrivateRuntimeDirectory runtime;
    const auto started = std::chrono::steady_clock::now();
    HostsignalProcess signalHolder({"close", "--hold", "1"});
    EXPECT_EQ(signalHolder.ReadLine(), "holding TembraLidornCalcClose")
        << "hostsignal close --hold 1";
    EXPECT_TRUE(NamedSessionObjectExists("TembraLidornCalcClose")) << "while hostsignal holds it";
    EXPECT_EQ(signalHolder.Wait(), 0) << "hostsignal close --hold 1";
    EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(1))
        << "hostsignal close --hold 1 ended early";
    EXPECT_FALSE(NamedSessionObjectExists("TembraLidornCalcClose")) << "after hostsignal ended";
    EXPECT_EQ(signalHolder.ReadErrors(), "") << "hostsignal close --hold 1";
}

TEST(Hostsignal, CloseHoldsTheSignalUntilStoppedAndEndsCleanly) {
    for (const int stopSignal : {SIGTERM, SIGINT}) {
        const PrivateRuntimeDirectory runtime;
        HostsignalProcess signalHolder({"close", "--hold"});
        EXPECT_EQ(signalHolder.ReadLine(), "holding TembraLidornCalcClose")
            << "signal " << stopSignal;
        EXPECT_TRUE(NamedSessionObjectExists("TembraLidornCalcClose")) << "signal " << stopSignal;
        signalHolder.Signal(stopSignal);
        EXPECT_EQ(signalHolder.Wait(), 0) << "hostsignal close stopped by signal " << stopSignal;
        EXPECT_FALSE(NamedSessionObjectExists("TembraLidornCalcClose"))
            << "after hostsignal close was stopped by signal " << stopSignal;
        EXPECT_EQ(signalHolder.ReadOutput(), "") << "more than one line; signal " << stopSignal;
    }
}

// Without --hold, close answers whether a calculator is left: it holds the signal while one is
// active, lets it go as soon as none is, so that one started afterwards stays, and waits on
// until the last calculator process has ended, its last write included.
TEST(Hostsignal, CloseReturnsOnceNoCalculatorIsLeftOrSaysOneStillRuns) {
    using namespace std::chrono_literals;
    struct Case {
        const char* Held;  // what the stand-in calculator holds, or nothing
        bool Ends;         // the stand-in is killed while hostsignal waits
        std::vector<std::string> Arguments;
        int ExitCode;
        std::chrono::milliseconds NotBefore;
    };
    const Case cases[] = {
        {nullptr, false, {"close"}, 0, 0ms},
        {"TembraLidornCalcActive", true, {"close", "--timeout", "30"}, 0, 0ms},
        {"TembraLidornCalcProcess", true, {"close"}, 0, 0ms},
        {"TembraLidornCalcActive", false, {"close", "--timeout", "2"}, 3, 2000ms},
        {"TembraLidornCalcProcess", false, {"close", "--timeout", "1"}, 3, 1000ms},
    };
    for (const Case& c : cases) {
        const std::string described = std::string(c.Held != nullptr ? c.Held : "nothing") +
                                      (c.Ends ? " held, then ended" : " held");
        const PrivateRuntimeDirectory runtime;
        std::optional<HolderProcess> calculator;
        if (c.Held != nullptr) {
            calculator.emplace(c.Held);
            ASSERT_EQ(calculator->State(), SessionObjectState::Created) << described;
        }
        const auto started = std::chrono::steady_clock::now();
        HostsignalProcess hostsignal(c.Arguments);
        EXPECT_EQ(hostsignal.ReadLine(), "holding TembraLidornCalcClose") << described;
        if (calculator) {
            const bool active = std::string(c.Held) == "TembraLidornCalcActive";
            const auto deadline = std::chrono::steady_clock::now() + 5s;
            while (!active && NamedSessionObjectExists("TembraLidornCalcClose") &&
                   std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(10ms);
            }
            EXPECT_EQ(NamedSessionObjectExists("TembraLidornCalcClose"), active)
                << described << ": the signal while hostsignal waits";
            if (c.Ends) {
                calculator->Kill();
            }
        }
        EXPECT_EQ(hostsignal.WaitAtMost(10s), c.ExitCode) << described;
        EXPECT_GE(std::chrono::steady_clock::now() - started, c.NotBefore) << described;
        EXPECT_FALSE(NamedSessionObjectExists("TembraLidornCalcClose")) << described;
        EXPECT_EQ(hostsignal.ReadErrors().empty(), c.ExitCode == 0) << described;
    }
}

TEST(Hostsignal, ANonRegularFileInPlaceOfALockFileIsRefusedAtOnce) {
    struct Case {
        std::string FileName;
        std::vector<std::string> Arguments;
        int ExitCode;
    };
    const std::vector<Case> cases = {
        {"TembraLidornCalcClose.lock", {"close", "--hold", "0"}, 1},
        {".guard", {"close", "--hold", "0"}, 1},
        {"TembraLidornCalcActive.lock", {"running"}, 1},
    };
    for (const Case& test : cases) {
        for (const bool fifo : {true, false}) {
            const PrivateRuntimeDirectory runtime;
            const std::string path = runtime.Directory.Path() + "/" + test.FileName;
            ASSERT_EQ(fifo ? mkfifo(path.c_str(), 0600) : mkdir(path.c_str(), 0700), 0) << path;
            const std::string described = (fifo ? "a FIFO as " : "a directory as ") + test.FileName;
            HostsignalProcess process(test.Arguments);
            EXPECT_EQ(process.WaitAtMost(std::chrono::seconds(5)), test.ExitCode) << described;
            EXPECT_EQ(process.ReadOutput(), "") << described;
        }
    }
}

TEST(Hostsignal, BadUsageExitsTwoWithTheUsageLineAndHoldsNothing) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"running", "extra"},
        {"close", "--timeout"},
        {"close", "--timeout", "-1"},
        {"close", "--hold", "1", "--timeout", "1"},
        {"close", "--hold", "-1"},
        {"close", "--hold", "abc"},
        {"close", "--hold", "1s"},
        {"close", "--hold", "nan"},
        {"close", "--hold", "1e9"},
        {"close", "--wait", "1"},
        {"close", "1"},
        {"close", "--hold", "1", "extra"},
    };
    const PrivateRuntimeDirectory runtime;
    for (const auto& arguments : cases) {
        std::string described = "hostsignal";
        for (const std::string& argument : arguments) {
            described += " " + argument;
        }
        HostsignalProcess process(arguments);
        EXPECT_EQ(process.ReadErrors().rfind("usage: hostsignal", 0), 0u) << described;
        EXPECT_EQ(process.ReadOutput(), "") << described;
        EXPECT_EQ(process.Wait(), 2) << described;
    }
    EXPECT_TRUE(runtime.Directory.Entries().empty()) << "bad usage created something";
}
