// The program's entry point on POSIX systems. Here, unlike on Windows, a program is started from
// a shell as often as from a menu, so it answers --help and --version rather than opening the
// calculator for them.
#include <cstdio>
#include <optional>
#include <string_view>

#include "CloseRequests.h"
#include "RunRechner.h"

namespace {

constexpr const char* Usage = "usage: rechner [--help | --version]\n";
constexpr int ExitUsage = 2;

// The exit code when the command line asks for something other than the calculator, else
// nothing.
std::optional<int> AnswerCommandLine(int argc, char** argv) {
    if (argc < 2) {
        return std::nullopt;
    }
    const std::string_view argument = argv[1];
    if (argc == 2 && argument == "--help") {
        std::fputs(Usage, stdout);
        std::fputs(
            "Shows the pocket calculator of the household-budget application Tembra "
            "Lidorn.\nSee rechner(1); hostsignal(1) closes it from a script.\n",
            stdout);
        return 0;
    }
    if (argc == 2 && argument == "--version") {
        std::fputs("rechner " RECHNER_VERSION "\n", stdout);
        return 0;
    }
    std::fprintf(stderr, "rechner: unknown argument %s\n%s", argv[argc == 2 ? 1 : 2], Usage);
    return ExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    // Before anything else: a signal during the start closes the calculator as one later does,
    // instead of ending it wherever it stands.
    HoldBackEndingSignals();
    if (const std::optional<int> answered = AnswerCommandLine(argc, argv)) {
        return std::fflush(stdout) == 0 ? *answered : 1;
    }
    return RunRechner();
}
