// What a drag release costs when the host's legacy file is large: the two WriteSetting calls of
// a release (CalcLeft and CalcTop, each into the registry file and the legacy file), timed over
// a 1 MB and a 50 MB "Quenvik.ini" whose settings section comes last, so every write reads the
// whole file. Each size runs in its own process, so the peak memory printed is that size's own.
//
//   build/bench/release_cost [RELEASES]     (default 5 releases per size)

#include <fcntl.h>
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
#include <vector>

#include "FileStores.h"
#include "Settings.h"

namespace {

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
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

void Measure(const std::filesystem::path& directory, std::size_t megabytes, int releases) {
    const auto legacy = directory / "Quenvik.ini";
    WriteHostFile(legacy, megabytes << 20);
    const long before = PeakKilobytes();
    RegistryFileStore registry(directory / "registry.reg");
    ProfileFileStore profile(legacy);
    SettingsStore store(registry, profile);
    std::vector<double> milliseconds;
    for (int release = 0; release < releases; ++release) {
        const auto start = std::chrono::steady_clock::now();
        store.WriteSetting("CalcLeft", std::to_string(200 + release));
        store.WriteSetting("CalcTop", std::to_string(300 + release));
        milliseconds.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf(
        "%3zu MB legacy file: release median %7.1f ms, slowest %7.1f ms, "
        "memory growth %6.1f MB over %d releases\n",
        megabytes, milliseconds[milliseconds.size() / 2], milliseconds.back(),
        static_cast<double>(PeakKilobytes() - before) / 1024.0, releases);
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
    for (const std::size_t megabytes : {1u, 50u}) {
        std::fflush(stdout);
        const pid_t child = fork();
        if (child == 0) {
            Measure(directory / std::to_string(megabytes), megabytes, releases);
            std::fflush(stdout);
            _exit(0);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    std::filesystem::remove_all(directory);
    return 0;
}
