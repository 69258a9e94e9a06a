#pragma once
// A child process that creates a named session object and holds it until it is released or
// killed, so that tests can watch a name across processes.

#include <sys/types.h>

#include <optional>
#include <string>

#include "FileDescriptor_posix.h"
#include "NamedSessionObject.h"

// Keeps any number of holders waiting at their start until Open(), so that they create at once.
class StartGate {
public:
    StartGate();
    void Open() { release_ = FileDescriptor(); }
    int WaitEnd() const { return wait_.Get(); }

private:
    FileDescriptor wait_;
    FileDescriptor release_;
};

class HolderProcess {
public:
    // Starts the child; with a gate it waits there before creating the object.
    explicit HolderProcess(const std::string& name, const StartGate* gate = nullptr);
    // Releases the child if it still runs, and reaps it.
    ~HolderProcess();
    HolderProcess(const HolderProcess&) = delete;
    HolderProcess& operator=(const HolderProcess&) = delete;

    // What the child's creation reported; waits for the report. Failed also when the child died
    // before reporting.
    SessionObjectState State();
    // The child destroys its object, exits normally, and is reaped.
    void Release();
    // The child is killed with SIGKILL, so only the kernel can let go of the name, and reaped.
    void Kill();

private:
    void Reap();

    pid_t child_ = -1;
    FileDescriptor report_;
    FileDescriptor release_;
    std::optional<SessionObjectState> state_;
};
