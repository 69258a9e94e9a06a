// Holder processes: fork, create, report, hold.

#include "HolderProcess_posix.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <system_error>

namespace {

struct Pipe {
    FileDescriptor Read;
    FileDescriptor Write;
};

Pipe MakePipe() {
    int ends[2];
    if (pipe(ends) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe");
    }
    return {FileDescriptor(ends[0]), FileDescriptor(ends[1])};
}

// Blocks until the other end is closed by everyone who has it.
void WaitForEndOfFile(int descriptor) {
    char byte = 0;
    ssize_t count = 0;
    do {
        count = read(descriptor, &byte, 1);
    } while (count > 0 || (count < 0 && errno == EINTR));
}

// A child keeps only standard I/O and its own pipe ends. Otherwise it would also keep the release
// ends of holders started before it, and those would never see their release.
void CloseDescriptorsExcept(int first, int second, int third) {
    int keep[] = {first, second, third};
    std::sort(std::begin(keep), std::end(keep));
    unsigned from = 3;
    for (const int descriptor : keep) {
        if (descriptor >= static_cast<int>(from)) {
            if (static_cast<unsigned>(descriptor) > from) {
                close_range(from, static_cast<unsigned>(descriptor) - 1, 0);
            }
            from = static_cast<unsigned>(descriptor) + 1;
        }
    }
    close_range(from, UINT_MAX, 0);
}

[[noreturn]] void RunHolder(const std::string& name, int gate, int report, int release) {
    CloseDescriptorsExcept(gate, report, release);
    if (gate >= 0) {
        WaitForEndOfFile(gate);
    }
    {
        const NamedSessionObject object(name);
        const char state = static_cast<char>(object.State());
        if (write(report, &state, 1) != 1) {
            _exit(1);
        }
        WaitForEndOfFile(release);
    }
    // Never return into the test framework's copy in the child.
    _exit(0);
}

}  // namespace

StartGate::StartGate() {
    Pipe gate = MakePipe();
    wait_ = std::move(gate.Read);
    release_ = std::move(gate.Write);
}

HolderProcess::HolderProcess(const std::string& name, const StartGate* gate) {
    Pipe report = MakePipe();
    Pipe release = MakePipe();
    child_ = fork();
    if (child_ < 0) {
        throw std::system_error(errno, std::generic_category(), "fork");
    }
    if (child_ == 0) {
        RunHolder(name, gate != nullptr ? gate->WaitEnd() : -1, report.Write.Get(),
                  release.Read.Get());
    }
    report_ = std::move(report.Read);
    release_ = std::move(release.Write);
}

HolderProcess::~HolderProcess() {
    Release();
}

SessionObjectState HolderProcess::State() {
    if (!state_) {
        char state = 0;
        ssize_t count = 0;
        do {
            count = read(report_.Get(), &state, 1);
        } while (count < 0 && errno == EINTR);
        state_ = count == 1 ? static_cast<SessionObjectState>(state) : SessionObjectState::Failed;
    }
    return *state_;
}

void HolderProcess::Release() {
    release_ = FileDescriptor();
    Reap();
}

void HolderProcess::Kill() {
    if (child_ > 0) {
        kill(child_, SIGKILL);
    }
    Reap();
}

void HolderProcess::Reap() {
    if (child_ > 0) {
        int status = 0;
        while (waitpid(child_, &status, 0) < 0 && errno == EINTR) {
        }
        child_ = -1;
    }
}
