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
    if (!thread_.joinable()) {
        return;
    }
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        stopping_ = true;
        exitDeadline_ = clock_.Now() + ExitGrace;
    }
    wake_.notify_all();
    thread_.join();
}

void SettingsWriter::Write(const SettingValues& values) {
    {
        const std::lock_guard<std::mutex> guard(mutex_);
        pending_ = Merged(std::move(pending_), values);
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

WriterClock::TimePoint SettingsWriter::Limit(WriterClock::TimePoint giveUpAt) const {
    return stopping_ ? std::min(giveUpAt, exitDeadline_) : giveUpAt;
}

void SettingsWriter::WritePending(std::unique_lock<std::mutex>& lock) {
    const WriterClock::TimePoint giveUpAt = clock_.Now() + RetryFor;
    std::chrono::milliseconds pause = FirstPause;
    while (clock_.Now() <= Limit(giveUpAt)) {
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
        pending_ = Merged(std::move(values), pending_);
        const WriterClock::TimePoint retryAt = clock_.Now() + pause;
        pause = std::min(pause * 2, LongestPause);
        while (retryAt <= Limit(giveUpAt) && clock_.Now() < retryAt) {
            clock_.WaitUntil(lock, wake_, retryAt);
        }
        if (retryAt > Limit(giveUpAt)) {
            break;
        }
    }
    // Given up quietly: the next hand-over tries again.
    pending_.clear();
}

BackgroundSettingsStore::BackgroundSettingsStore(RegistryKeyStore& registry, ProfileStore& profile,
                                                 WriterClock& clock)
    : SettingsStore(registry, profile),
      writer_([this](const SettingValues& values) { return TryWriteSettings(values); }, clock) {}

void BackgroundSettingsStore::WriteSettings(const SettingValues& values) {
    writer_.Write(values);
}
