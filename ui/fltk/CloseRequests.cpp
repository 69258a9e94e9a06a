// The session's signals and a lost X connection as close requests on FLTK's loop.
#include "CloseRequests.h"

#include <fcntl.h>
#include <unistd.h>

#include <FL/Fl.H>
#include <FL/x.H>

#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <utility>

namespace {

constexpr std::array<int, 3> EndingSignals = {SIGTERM, SIGHUP, SIGINT};

// Where the handlers write: a signal handler can reach nothing but a global.
std::atomic<int> requestPipe{-1};

void Request() {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a request, which is all a second one would say.
    [[maybe_unused]] const ssize_t written = ::write(requestPipe.load(), &byte, 1);
    errno = saved;
}

sigset_t EndingSignalSet() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : EndingSignals) {
        sigaddset(&set, signal);
    }
    return set;
}

void MaskEndingSignals(int how) {
    const sigset_t set = EndingSignalSet();
    pthread_sigmask(how, &set, nullptr);
}

extern "C" void SignalArrived(int) {
    Request();
}

// Xlib tells of a lost connection through both handlers. The first only reports it, as the
// default does; the second, instead of ending the process, asks the loop to close. Xlib's later
// calls on the display then return at once, so the loop and the window's end still run.
int ConnectionLost(Display* display) {
    std::fprintf(stderr, "rechner: the connection to the X display %s was lost\n",
                 DisplayString(display));
    return 0;
}

void AfterConnectionLost(Display*, void*) {
    Request();
}

}  // namespace

void HoldBackEndingSignals() {
    MaskEndingSignals(SIG_BLOCK);
}

void ReleaseEndingSignals() {
    MaskEndingSignals(SIG_UNBLOCK);
}

CloseRequests::CloseRequests() {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::runtime_error("cannot create the pipe for close requests");
    }
    readEnd_ = FileDescriptor(ends[0]);
    writeEnd_ = FileDescriptor(ends[1]);
    requestPipe.store(writeEnd_.Get());
    struct sigaction action {};
    action.sa_handler = SignalArrived;
    sigemptyset(&action.sa_mask);
    // Other threads' calls, the settings writer's among them, carry on where the signal met
    // them.
    action.sa_flags = SA_RESTART;
    for (const int signal : EndingSignals) {
        ::sigaction(signal, &action, nullptr);
    }
    XSetIOErrorHandler(ConnectionLost);
    XSetIOErrorExitHandler(fl_display, AfterConnectionLost, nullptr);
    // Threads started before this one, the settings writer's, keep them held back, so that
    // they all arrive here.
    ReleaseEndingSignals();
}

CloseRequests::~CloseRequests() {
    if (listening_) {
        Fl::remove_fd(readEnd_.Get());
    }
    // The program is about to end; a signal from now on ends it as it would any program.
    for (const int signal : EndingSignals) {
        std::signal(signal, SIG_DFL);
    }
    requestPipe.store(-1);
}

void CloseRequests::Listen(std::function<void()> close) {
    close_ = std::move(close);
    if (!listening_) {
        Fl::add_fd(readEnd_.Get(), FL_READ, Readable, this);
        listening_ = true;
    }
}

void CloseRequests::Readable(int descriptor, void* self) {
    std::array<char, 64> bytes{};
    while (::read(descriptor, bytes.data(), bytes.size()) > 0) {
    }
    static_cast<CloseRequests*>(self)->close_();
}
