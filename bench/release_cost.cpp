// What a drag release costs the window's thread, and how long until both settings files hold the
// position, in three cases: ordinary small files, a 50 MB "Quenvik.ini" whose settings section
// comes last (so every write reads the whole file), and a host that holds the writers' lock of
// both files for the whole run. Each case runs in its own process, so the peak memory printed is
// that case's own.
//
//   build/bench/release_cost [RELEASES]     (default 5 releases per case)

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "FileStores.h"
#include "Settings.h"
#include "SettingsWriter.h"

namespace {

using Clock = std::chrono::steady_clock;

// How long a release is given to reach both files before it counts as never stored.
constexpr auto StoreTimeout = std::chrono::seconds(10);

struct Case {
    const char* Name;
    std::size_t LegacyMegabytes;
    bool HostHoldsLock;
};

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Host lines of about 60 bytes up to `size`, then the calculator's section.
void WriteHostFile(const std::filesystem::path& file, std::size_t size) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out << "; Tembra Lidorn\r\n[Buchungen]\r\n";
    std::size_t written = 0;
    for (std::size_t line = 0; written < size; ++line) {
        const std::string text =
            "B" + std::to_string(line) + "=2024-06-07;Giro;1200,50;Miete Juni und Nebenkosten\r\n";
        out << text;
        written += text.size();
    }
    out << "[Einstellungen]\r\nCalcLeft=100\r\nCalcTop=100\r\n";
    out.close();
    // As a file the host wrote long ago, so the first write need not wait for it to settle.
    const timespec longAgo[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
    utimensat(AT_FDCWD, file.c_str(), longAgo, 0);
}

// A host process that holds the writers' lock of both files until it is killed.
pid_t HoldLocks(const std::filesystem::path& directory) {
    int ready[2];
    if (pipe(ready) != 0) {
        return -1;
    }
    const pid_t host = fork();
    if (host == 0) {
        for (const char* name : {".registry.reg.lock", ".Quenvik.ini.lock"}) {
            const int lock = open((directory / name).c_str(), O_RDONLY | O_CREAT, 0600);
            flock(lock, LOCK_EX);
        }
        static_cast<void>(write(ready[1], "x", 1));
        pause();
        _exit(0);
    }
    char signal = 0;
    static_cast<void>(read(ready[0], &signal, 1));
    close(ready[0]);
    close(ready[1]);
    return host;
}

// What the window's thread does on a release.
void Release(SettingsStore& store, int left, int top) {
    store.WriteSettings({{"CalcLeft", std::to_string(left)}, {"CalcTop", std::to_string(top)}});
}

bool BothHold(RegistryFileStore& registry, ProfileFileStore& profile, const std::string& left,
              const std::string& top) {
    try {
        return registry.ReadString("CalcLeft") == left && registry.ReadString("CalcTop") == top &&
               profile.ReadString("Einstellungen", "CalcLeft", "", 300) == left &&
               profile.ReadString("Einstellungen", "CalcTop", "", 300) == top;
    } catch (const std::exception&) {
        return false;
    }
}

std::string Median(std::vector<double> values) {
    if (values.empty()) {
        return "  never";
    }
    std::sort(values.begin(), values.end());
    char text[32];
    std::snprintf(text, sizeof text, "%7.1f", values[values.size() / 2]);
    return text;
}

void Measure(const std::filesystem::path& directory, const Case& c, int releases) {
    const auto legacy = directory / "Quenvik.ini";
    WriteHostFile(legacy, c.LegacyMegabytes << 20);
    const pid_t host = c.HostHoldsLock ? HoldLocks(directory) : -1;
    const long before = PeakKilobytes();
    RegistryFileStore registry(directory / "registry.reg");
    ProfileFileStore profile(legacy);
    std::vector<double> window;
    std::vector<double> stored;
    {
        BackgroundSettingsStore store(registry, profile);
        for (int release = 0; release < releases; ++release) {
            const int left = 200 + release;
            const int top = 300 + release;
            const auto start = Clock::now();
            Release(store, left, top);
            window.push_back(MillisecondsSince(start));
            while (!BothHold(registry, profile, std::to_string(left), std::to_string(top)) &&
                   Clock::now() - start < StoreTimeout) {
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            if (BothHold(registry, profile, std::to_string(left), std::to_string(top))) {
                stored.push_back(MillisecondsSince(start));
            }
        }
    }
    if (host > 0) {
        kill(host, SIGKILL);
        waitpid(host, nullptr, 0);
    }
    std::vector<double> sorted = window;
    std::sort(sorted.begin(), sorted.end());
    std::printf(
        "%-24s window's thread median %8.3f ms, slowest %8.3f ms | both files hold it after "
        "median %s ms (%zu of %d) | memory growth %6.1f MB\n",
        c.Name, sorted[sorted.size() / 2], sorted.back(), Median(stored).c_str(), stored.size(),
        releases, static_cast<double>(PeakKilobytes() - before) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    int releases = 5;
    if (argc > 1) {
        std::from_chars(argv[1], argv[1] + std::char_traits<char>::length(argv[1]), releases);
    }
    releases = std::max(releases, 1);
    std::random_device random;
    const auto directory =
        std::filesystem::temp_directory_path() / ("rechner-bench-" + std::to_string(random()));
    const Case cases[] = {{"ordinary files", 0, false},
                          {"50 MB legacy file", 50, false},
                          {"host holds the lock", 0, true}};
    for (const Case& c : cases) {
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            Measure(directory / c.Name, c, releases);
            std::fflush(stdout);
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    std::filesystem::remove_all(directory);
    return 0;
}
