#pragma once
// The ways to close the calculator that arrive outside its window's events: the session's
// signals (SIGTERM when the session or a service manager ends it, SIGHUP when its terminal goes,
// SIGINT from Ctrl+C) and the loss of the connection to the X server. Each becomes one request
// on FLTK's loop, through a pipe the loop watches, and the form closes the window there as for
// any other close; a signal handler only writes a byte. Without this, a signal would end the
// process wherever it stood, a write of the settings included, and a lost connection would end
// it inside Xlib with exit code 1.

#include <functional>

#include "FileDescriptor_posix.h"

// Holds the session's signals back until CloseRequests hears them, however early they come; the
// entry point calls it before anything else. The signals that came meanwhile then arrive as
// requests. A program that ends without CloseRequests, a failed start's message box included,
// calls ReleaseEndingSignals first, so that a signal ends it as it would any program.
void HoldBackEndingSignals();
void ReleaseEndingSignals();

class CloseRequests {
public:
    // Turns the signals and the loss of FLTK's display into requests, the signals held back
    // before included. Nothing is asked of the loop yet: what comes early waits in the pipe.
    CloseRequests();
    // Puts back the signals' default actions.
    ~CloseRequests();
    CloseRequests(const CloseRequests&) = delete;
    CloseRequests& operator=(const CloseRequests&) = delete;

    // From now on the loop calls `close` for the requests, those that came early included.
    void Listen(std::function<void()> close);

private:
    static void Readable(int descriptor, void* self);

    FileDescriptor readEnd_;
    FileDescriptor writeEnd_;
    std::function<void()> close_;
    bool listening_ = false;
};
