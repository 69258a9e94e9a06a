// The calculator's store writing "Quenvik.ini" while a host process rewrites the same file in
// its own way: with the writers' lock, renaming without it, and truncating and writing in place
// without it. The host counts its own updates in [Host] Count and checks on every read that
// none was undone and that the file is whole; the calculator does the same for CalcLeft. Each
// run is seeded and takes about a second and a half; the counts are printed.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>

#include "FileStores.h"
#include "SettingsTestSupport.h"

namespace {

enum class HostKind { Locking, Renaming, InPlace };

constexpr auto RunTime = std::chrono::milliseconds(1500);
const std::string Filler(16 * 1024, 'k');
const std::string Ending = "[Ende]\r\nMarke=ok\r\n";

std::string HostFile(long count, long calcLeft) {
    return "; Tembra Lidorn\r\n[Konten]\r\nGiro=" + Filler +
           "\r\n[Host]\r\nCount=" + std::to_string(count) +
           "\r\n[Einstellungen]\r\nCalcLeft=" + std::to_string(calcLeft) + "\r\n" + Ending;
}

// The number after "\n<name>=", or -1 when the file holds none.
long NumberAfter(const std::string& text, const std::string& name) {
    const std::size_t at = text.find("\n" + name + "=");
    return at == std::string::npos ? -1 : std::atol(text.c_str() + at + name.size() + 2);
}

bool IsWhole(const std::string& text) {
    return text.ends_with(Ending) && text.find("Giro=" + Filler + "\r\n") != std::string::npos &&
           NumberAfter(text, "Count") >= 0 && NumberAfter(text, "CalcLeft") >= 0;
}

struct HostCounts {
    long Updates = 0;
    long Lost = 0;  // reads that showed an older Count than the host had written
    long Torn = 0;  // reads of a file that was not whole
};

void WriteAll(int file, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(file, bytes.data(), bytes.size());
        if (written <= 0) {
            _exit(3);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

// One read-modify-write of the host; its Count goes up by one from the last it wrote.
void HostUpdate(HostKind kind, const std::filesystem::path& file, HostCounts& counts,
                std::mt19937& random) {
    int lock = -1;
    if (kind == HostKind::Locking) {
        lock = open((file.parent_path() / ".Quenvik.ini.lock").c_str(), O_RDONLY | O_CREAT, 0600);
        flock(lock, LOCK_EX);
    }
    std::string text = ReadBytes(file);
    if (!IsWhole(text)) {
        ++counts.Torn;
        text = HostFile(0, 0);
    }
    if (NumberAfter(text, "Count") < counts.Updates) {
        ++counts.Lost;
    }
    const std::size_t at = text.find("\nCount=") + 7;
    text.replace(at, text.find('\r', at) - at, std::to_string(++counts.Updates));
    if (kind == HostKind::InPlace) {
        // Truncate, then write in two parts with a pause between, as a slow host would.
        const int out = open(file.c_str(), O_WRONLY | O_TRUNC);
        WriteAll(out, std::string_view(text).substr(0, text.size() / 2));
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 3000));
        WriteAll(out, std::string_view(text).substr(text.size() / 2));
        close(out);
    } else {
        const std::filesystem::path temporary = file.parent_path() / "host-new.ini";
        const int out = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        WriteAll(out, text);
        close(out);
        rename(temporary.c_str(), file.c_str());
    }
    if (lock >= 0) {
        close(lock);
    }
}

struct RunCounts {
    HostCounts Host;
    long Writes = 0;
    long Failed = 0;  // reads or writes that gave up because the file kept changing
    long Undone = 0;  // reads that showed an older CalcLeft than the calculator had written
};

RunCounts RunBesideHost(HostKind kind, unsigned seed) {
    ScratchDirectory scratch;
    const auto file = scratch / "Quenvik.ini";
    WriteBytes(file, HostFile(0, 0));
    int report[2];
    EXPECT_EQ(pipe(report), 0);
    const pid_t host = fork();
    if (host == 0) {
        close(report[0]);
        std::mt19937 random(seed);
        HostCounts counts;
        const auto end = std::chrono::steady_clock::now() + RunTime;
        while (std::chrono::steady_clock::now() < end) {
            HostUpdate(kind, file, counts, random);
            // Half the pauses are shorter than the calculator's settling time, half longer.
            std::this_thread::sleep_for(std::chrono::milliseconds(random() % 60));
        }
        HostUpdate(kind, file, counts, random);
        WriteAll(report[1],
                 std::string_view(reinterpret_cast<const char*>(&counts), sizeof counts));
        _exit(0);
    }
    close(report[1]);
    RunCounts run;
    std::mt19937 random(seed + 1);
    ProfileFileStore store(file);
    long written = 0;
    int status = 0;
    while (waitpid(host, &status, WNOHANG) == 0) {
        try {
            if (std::stol("0" + store.ReadString("Einstellungen", "CalcLeft", "", 300)) < written) {
                ++run.Undone;
            }
            store.WriteStrings("Einstellungen", {{"CalcLeft", std::to_string(written + 1)}});
            ++written;
            ++run.Writes;
        } catch (const std::runtime_error&) {
            ++run.Failed;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(random() % 10));
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the host failed";
    EXPECT_EQ(read(report[0], &run.Host, sizeof run.Host), static_cast<ssize_t>(sizeof run.Host));
    close(report[0]);
    const std::string final = ReadBytes(file);
    EXPECT_TRUE(IsWhole(final)) << "final file: " << Visible(final.substr(0, 80));
    EXPECT_EQ(NumberAfter(final, "Count"), run.Host.Updates) << "the host's last update";
    return run;
}

TEST(ProfileFileStore, BesideAWritingHostLosesNoneOfItsUpdatesAndNeverTearsTheFile) {
    const struct {
        HostKind Kind;
        const char* Name;
        unsigned Seed;
    } hosts[] = {{HostKind::Locking, "locking, renaming", 11},
                 {HostKind::Renaming, "renaming without lock", 22},
                 {HostKind::InPlace, "in place without lock", 33}};
    for (const auto& host : hosts) {
        const RunCounts run = RunBesideHost(host.Kind, host.Seed);
        std::printf(
            "host %-22s %3ld updates, %ld lost, %ld torn reads | calculator %3ld writes, "
            "%ld given up, %ld undone by the host\n",
            host.Name, run.Host.Updates, run.Host.Lost, run.Host.Torn, run.Writes, run.Failed,
            run.Undone);
        EXPECT_EQ(run.Host.Lost, 0) << host.Name;
        EXPECT_EQ(run.Host.Torn, 0) << host.Name;
        EXPECT_GT(run.Writes, 0) << host.Name;
        if (host.Kind == HostKind::Locking) {
            EXPECT_EQ(run.Undone, 0) << "a host that takes the lock undoes nothing";
        }
    }
}

}  // namespace
