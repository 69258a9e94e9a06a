// hostsignal: stands in for the host application in tests and by hand.
//
//   hostsignal close [--hold SECONDS]   raise the close signal: create "TembraLidornCalcClose",
//                                       print one line once it is held, and hold it until
//                                       killed (Ctrl+C and SIGTERM end it cleanly) or, with
//                                       --hold, for SECONDS (fractions allowed); exit 0, or 1
//                                       when the object cannot be created
//   hostsignal running                  exit 0 when a calculator holds "TembraLidornCalcActive",
//                                       1 when none does; asks without creating anything
//
// Anything else prints the usage line on standard error and exits 2.

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

constexpr const char* Usage = "usage: hostsignal close [--hold SECONDS] | hostsignal running";
constexpr int ExitNotRunning = 1;
constexpr int ExitCannotCreate = 1;
constexpr int ExitUsage = 2;
// About eleven days: long enough for any test, short enough for the clock arithmetic.
constexpr double MaxHoldSeconds = 1e6;
constexpr std::chrono::milliseconds StopPollInterval{20};

volatile std::sig_atomic_t StopRequested = 0;

extern "C" void RequestStop(int) {
    StopRequested = 1;
}

std::optional<double> ParseSeconds(std::string_view text) {
    double seconds = 0;
    const char* end = text.data() + text.size();
    const auto [parsedEnd, error] = std::from_chars(text.data(), end, seconds);
    // The comparisons also turn away "nan", which from_chars accepts.
    if (error != std::errc() || parsedEnd != end || !(seconds >= 0 && seconds <= MaxHoldSeconds)) {
        return std::nullopt;
    }
    return seconds;
}

int HoldCloseSignal(std::optional<double> seconds) {
    // Installed before the object exists, so a stop that comes at once still ends cleanly.
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
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
    // The line tells a script that the signal is up before it starts or watches a calculator.
    std::cout << "holding " << CloseSignalName << std::endl;
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(seconds.value_or(0)));
    while (StopRequested == 0 && (!seconds || Clock::now() < deadline)) {
        std::this_thread::sleep_for(StopPollInterval);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string_view> arguments(argv + 1, argv + argc);
    if (arguments.size() == 1 && arguments[0] == "running") {
        return NamedSessionObjectExists(CalculatorActiveName) ? 0 : ExitNotRunning;
    }
    if (!arguments.empty() && arguments[0] == "close") {
        if (arguments.size() == 1) {
            return HoldCloseSignal(std::nullopt);
        }
        if (arguments.size() == 3 && arguments[1] == "--hold") {
            if (const auto seconds = ParseSeconds(arguments[2])) {
                return HoldCloseSignal(seconds);
            }
        }
    }
    std::cerr << Usage << '\n';
    return ExitUsage;
}
