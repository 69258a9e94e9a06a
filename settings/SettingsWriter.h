#pragma once
// The writer of the window's settings: a thread of its own that stores what the window hands it,
// so that the window never waits on a settings file, however large the file or busy the host.
// Values handed over while it works are merged, the newest text of each name winning, and
// written together next. A store that is busy is tried again after a pause that grows each time
// up to a bound, and then at that bound for as long as the program runs: the newest position is
// never dropped while the window could still hand over another. At exit what is pending is still
// written for a moment, then abandoned.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "Settings.h"

// The writer's time, given in so that tests can run its pauses without waiting for them.
class WriterClock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~WriterClock() = default;
    virtual TimePoint Now() = 0;
    // Waits on `wake`, whose mutex `lock` holds, until `until` or until notified, or less: the
    // caller checks again what it waits for. TimePoint::max() waits for a notification.
    virtual void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                           TimePoint until) = 0;
};

// The system's steady clock.
WriterClock& SteadyWriterClock();

class SettingsWriter {
public:
    // One try at storing the values in both places.
    using Attempt = std::function<SettingsStore::WriteOutcome(const SettingValues&)>;

    static constexpr std::chrono::milliseconds FirstPause{20};
    static constexpr std::chrono::milliseconds LongestPause{1000};
    // How long after a hand-over the pauses grow from FirstPause; later tries all wait the
    // longest pause.
    static constexpr std::chrono::seconds RetryFor{10};
    // How long a pending write may still take at exit.
    static constexpr std::chrono::seconds ExitGrace{1};

    SettingsWriter(Attempt attempt, WriterClock& clock);
    // Finish, if it has not run yet.
    ~SettingsWriter();
    SettingsWriter(const SettingsWriter&) = delete;
    SettingsWriter& operator=(const SettingsWriter&) = delete;

    // Hands the values over and returns at once. Called from one thread, the window's.
    void Write(const SettingValues& values);
    // Finishes the pending write within ExitGrace, then abandons it, and ends the thread; a try
    // under way when the grace ends is not cut short: each store bounds its own waits. Values
    // handed over later are not written. Called from the window's thread.
    void Finish();

private:
    void Run();
    void WritePending(std::unique_lock<std::mutex>& lock);

    Attempt attempt_;
    WriterClock& clock_;
    std::mutex mutex_;
    std::condition_variable wake_;
    SettingValues pending_;
    // Counts the hand-overs, so that a retry sees that newer values came.
    unsigned long handOvers_ = 0;
    bool stopping_ = false;
    WriterClock::TimePoint exitDeadline_{};
    std::thread thread_;  // started by the first Write
};

// The window's settings store: reads at once, writes through a writer of its own, the copies
// ReadSetting makes included.
class BackgroundSettingsStore : public SettingsStore {
public:
    BackgroundSettingsStore(RegistryKeyStore& registry, ProfileStore& profile,
                            WriterClock& clock = SteadyWriterClock());
    // The writer's Finish.
    void FinishWriting() { writer_.Finish(); }

protected:
    void HandOver(const SettingValues& values) override;

private:
    SettingsWriter writer_;
};
