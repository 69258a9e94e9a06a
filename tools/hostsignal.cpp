// hostsignal: stands in for the host application in tests and by hand.
//
//   hostsignal close [--timeout SECONDS]  raise the close signal: create "TembraLidornCalcClose",
//                                         print one line once it is held, hold it until no
//                                         calculator is active, then wait until no calculator
//                                         process is left; exit 0 then, or 3 when one still
//                                         runs after SECONDS (10 by default; fractions
//                                         allowed) or when stopped before
//   hostsignal close --hold [SECONDS]     raise the close signal and hold it until killed
//                                         (Ctrl+C and SIGTERM end it cleanly) or for SECONDS;
//                                         exit 0
//   hostsignal running                    exit 0 when a calculator holds
//                                         "TembraLidornCalcActive", 1 when none does; asks
//                                         without creating anything
//
// close exits 1 when the object cannot be created. Anything else prints the usage line on
// standard error and exits 2.

#include <charconv>
#include <chrono>
#include <csignal>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

#include "NamedSessionObject.h"
#include "SessionObjectNames.h"

namespace {

constexpr const char* Usage =
    "usage: hostsignal close [--timeout SECONDS | --hold [SECONDS]] | hostsignal running";
constexpr int ExitNotRunning = 1;
constexpr int ExitCannotCreate = 1;
constexpr int ExitUsage = 2;
constexpr int ExitStillRunning = 3;
// About eleven days: long enough for any test, short enough for the clock arithmetic.
constexpr double MaxSeconds = 1e6;
// Ten closes of a calculator whose last write waits its full second for a busy store.
constexpr double DefaultTimeoutSeconds = 10;
constexpr std::chrono::milliseconds PollInterval{20};

using Clock = std::chrono::steady_clock;

volatile std::sig_atomic_t StopRequested = 0;

extern "C" void RequestStop(int) {
    StopRequested = 1;
}

std::optional<double> ParseSeconds(std::string_view text) {
    double seconds = 0;
    const char* end = text.data() + text.size();
    const auto [parsedEnd, error] = std::from_chars(text.data(), end, seconds);
    // The comparisons also turn away "nan", which from_chars accepts.
    if (error != std::errc() || parsedEnd != end || !(seconds >= 0 && seconds <= MaxSeconds)) {
        return std::nullopt;
    }
    return seconds;
}

// The moment the given seconds from now; never without them.
Clock::time_point Deadline(std::optional<double> seconds) {
    if (!seconds) {
        return Clock::time_point::max();
    }
    return Clock::now() +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*seconds));
}

// Waits until done() or the deadline or a stop request, whichever comes first; tells whether
// done() was.
template <typename Done>
bool WaitUntil(Done done, Clock::time_point deadline) {
    for (;;) {
        if (done()) {
            return true;
        }
        if (StopRequested != 0 || Clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(PollInterval);
    }
}

bool NoneNamed(const char* name) {
    return !NamedSessionObjectExists(name);
}

enum class CloseMode { Hold, UntilClosed };

int RaiseCloseSignal(CloseMode mode, std::optional<double> seconds) {
    // Installed before the object exists, so a stop that comes at once still ends cleanly.
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    const Clock::time_point deadline = Deadline(seconds);
    bool closed = false;
    {
        std::optional<NamedSessionObject> closeSignal;
        try {
            closeSignal.emplace(CloseSignalName);
        } catch (const std::runtime_error& refused) {
            std::cerr << "hostsignal: " << refused.what() << '\n';
            return ExitCannotCreate;
        }
        if (closeSignal->State() == SessionObjectState::Failed) {
            std::cerr << "hostsignal: cannot create " << CloseSignalName << '\n';
            return ExitCannotCreate;
        }
        // The line tells a script that the signal is up before it starts or watches a
        // calculator.
        std::cout << "holding " << CloseSignalName << std::endl;
        if (mode == CloseMode::Hold) {
            WaitUntil([] { return false; }, deadline);
            return 0;
        }
        // Held only until the calculator has seen it: one started afterwards is not closed.
        closed = WaitUntil([] { return NoneNamed(CalculatorActiveName); }, deadline);
    }
    if (closed && WaitUntil([] { return NoneNamed(CalculatorProcessName); }, deadline)) {
        return 0;
    }
    std::cerr << "hostsignal: a calculator still runs\n";
    return ExitStillRunning;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && arguments[0] == "running") {
        return NamedSessionObjectExists(CalculatorActiveName) ? 0 : ExitNotRunning;
    }
    if (!arguments.empty() && arguments[0] == "close") {
        if (arguments.size() == 1) {
            return RaiseCloseSignal(CloseMode::UntilClosed, DefaultTimeoutSeconds);
        }
        if (arguments.size() == 2 && arguments[1] == "--hold") {
            return RaiseCloseSignal(CloseMode::Hold, std::nullopt);
        }
        const std::optional<double> seconds =
            arguments.size() == 3 ? ParseSeconds(arguments[2]) : std::nullopt;
        if (seconds && arguments[1] == "--hold") {
            return RaiseCloseSignal(CloseMode::Hold, seconds);
        }
        if (seconds && arguments[1] == "--timeout") {
            return RaiseCloseSignal(CloseMode::UntilClosed, seconds);
        }
    }
    std::cerr << Usage << '\n';
    return ExitUsage;
}
