// The settings writer's thread: coalescing, retrying with growing pauses, and the exit grace.
#include "SettingsWriter.h"

#include <algorithm>
#include <utility>

namespace {

class SteadyClock : public WriterClock {
public:
    TimePoint Now() override { return std::chrono::steady_clock::now(); }
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   TimePoint until) override {
        if (until == TimePoint::max()) {
            wake.wait(lock);
        } else {
            wake.wait_until(lock, until);
        }
    }
};

// `older` with the texts of `newer` in place of its own, and the names only `newer` has added.
SettingValues Merged(SettingValues older, const SettingValues& newer) {
    for (const auto& entry : newer) {
        const auto same = std::find_if(older.begin(), older.end(),
                                       [&](const auto& old) { return old.first == entry.first; });
        if (same != older.end()) {
            same->second = entry.second;
        } else {
            older.push_back(entry);
        }
    }
    return older;
}

}  // namespace

WriterClock& SteadyWriterClock() {
    static SteadyClock clock;
    return clock;
}

SettingsWriter::SettingsWriter(Attempt attempt, WriterClock& clock)
    : attempt_(std::move(attempt)), clock_(clock) {}

SettingsWriter::~SettingsWriter() {
    Finish();
}

void SettingsWriter::Finish() {
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        if (stopping_) {
            return;
        }
        stopping_ = true;
        if (!thread_.joinable()) {
            return;
        }
        exitDeadline_ = clock_.Now() + ExitGrace;
    }
    wake_.notify_all();
    thread_.join();
}

void SettingsWriter::Write(const SettingValues& values) {
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        if (stopping_) {
            return;
        }
        pending_ = Merged(std::move(pending_), values);
        ++handOvers_;
    }
    // Started at the first hand-over, not at start-up: most runs store nothing until the
    // first drag, and a start is the sooner for every thread it need not make.
    if (!thread_.joinable()) {
        thread_ = std::thread([this] { Run(); });
    }
    wake_.notify_all();
}

void SettingsWriter::Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        while (pending_.empty() && !stopping_) {
            clock_.WaitUntil(lock, wake_, WriterClock::TimePoint::max());
        }
        if (pending_.empty()) {
            return;
        }
        WritePending(lock);
    }
}

void SettingsWriter::WritePending(std::unique_lock<std::mutex>& lock) {
    unsigned long seen = handOvers_;
    WriterClock::TimePoint growingUntil = clock_.Now() + RetryFor;
    std::chrono::milliseconds pause = FirstPause;
    for (;;) {
        SettingValues values = std::exchange(pending_, {});
        lock.unlock();
        SettingsStore::WriteOutcome outcome = SettingsStore::WriteOutcome::Done;
        try {
            outcome = attempt_(values);
        } catch (...) {
            // Only a busy store passes; trying again would fail the same way.
        }
        lock.lock();
        if (outcome == SettingsStore::WriteOutcome::Done) {
            // Whatever came meanwhile is still pending, and is written next.
            return;
        }
        // What was handed over during the try is newer than what the try carried.
        pending_ = Merged(std::move(values), pending_);
        const WriterClock::TimePoint now = clock_.Now();
        if (handOvers_ != seen) {
            seen = handOvers_;
            growingUntil = now + RetryFor;
            pause = FirstPause;
        }
        if (stopping_ && now >= exitDeadline_) {
            // The program ends before the store frees: what is pending is abandoned.
            pending_.clear();
            return;
        }
        const WriterClock::TimePoint retryAt = now + pause;
        pause = now < growingUntil ? std::min(pause * 2, LongestPause) : LongestPause;
        // A hand-over during the pause is tried at once, as it would be by an idle writer; at
        // exit the last try comes when the grace ends, not after it.
        while (handOvers_ == seen) {
            const WriterClock::TimePoint until =
                stopping_ ? std::min(retryAt, exitDeadline_) : retryAt;
            if (clock_.Now() >= until) {
                break;
            }
            clock_.WaitUntil(lock, wake_, until);
        }
    }
}

BackgroundSettingsStore::BackgroundSettingsStore(RegistryKeyStore& registry, ProfileStore& profile,
                                                 WriterClock& clock)
    : SettingsStore(registry, profile),
      writer_([this](const SettingValues& values) { return TryWriteSettings(values); }, clock) {}

void BackgroundSettingsStore::HandOver(const SettingValues& values) {
    writer_.Write(values);
}
