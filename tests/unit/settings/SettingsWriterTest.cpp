// The settings writer over a fake store and a clock whose time moves only while the writer waits:
// which values reach the store, when, how long a busy store is tried, and what happens to them
// at exit.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "SettingsWriter.h"

namespace {

using namespace std::chrono_literals;
using TimePoint = WriterClock::TimePoint;
using Outcome = SettingsStore::WriteOutcome;

// How long a test waits for the writer's thread before it counts as hung.
constexpr auto Patience = 10s;

// A pause passes at once: the clock jumps to its end, so a test runs a whole retry schedule
// without sleeping. Waiting for work is a real wait, and the test can see when the writer is in
// it, having nothing left to do.
class VirtualClock : public WriterClock {
public:
    TimePoint Now() override {
        const std::lock_guard<std::mutex> guard(mutex_);
        readers_.insert(std::this_thread::get_id());
        changed_.notify_all();
        return now_;
    }
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& wake,
                   TimePoint until) override {
        if (until != TimePoint::max()) {
            const std::lock_guard<std::mutex> guard(mutex_);
            now_ = std::max(now_, until);
            return;
        }
        SetIdle(true);
        wake.wait(lock);
        SetIdle(false);
    }
    // Waits until the writer waits for work.
    bool WaitUntilIdle() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, Patience, [this] { return idle_; });
    }
    bool EverRead() {
        const std::lock_guard<std::mutex> guard(mutex_);
        return !readers_.empty();
    }
    // Waits until a thread has read the time, as the writer's destructor does once it has told
    // the writer that the program ends.
    bool WaitUntilReadBy(std::thread::id reader) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, Patience, [&] { return readers_.contains(reader); });
    }

private:
    void SetIdle(bool idle) {
        {
            const std::lock_guard<std::mutex> guard(mutex_);
            idle_ = idle;
        }
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    TimePoint now_{};
    bool idle_ = false;
    std::set<std::thread::id> readers_;
};

struct Try {
    TimePoint At;
    SettingValues Values;
};

// Records every try with the clock's time; `Outcome` decides how each goes, and `Hold` keeps a
// try under way until the test lets it go.
class FakeStore {
public:
    explicit FakeStore(VirtualClock& clock) : clock_(clock) {}

    std::function<Outcome(const SettingValues&)> Answer = [](const SettingValues&) {
        return Outcome::Done;
    };
    bool Hold = false;
    // The first try from this time on is held as by Hold.
    TimePoint HoldFrom = TimePoint::max();

    Outcome Attempt(const SettingValues& values) {
        const TimePoint now = clock_.Now();
        std::unique_lock<std::mutex> lock(mutex_);
        tries_.push_back({now, values});
        if (now >= HoldFrom) {
            HoldFrom = TimePoint::max();
            Hold = true;
        }
        holding_ = Hold;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !Hold; });
        holding_ = false;
        return Answer(values);
    }
    // Waits until a try is held.
    bool WaitUntilHeld() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, Patience, [this] { return holding_; });
    }
    void Release() {
        {
            const std::lock_guard<std::mutex> guard(mutex_);
            Hold = false;
        }
        changed_.notify_all();
    }
    bool WaitForTries(std::size_t count) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, Patience, [&] { return tries_.size() >= count; });
    }
    std::vector<Try> Tries() {
        const std::lock_guard<std::mutex> guard(mutex_);
        return tries_;
    }

private:
    VirtualClock& clock_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Try> tries_;
    bool holding_ = false;
};

SettingValues Position(int left, int top) {
    return {{"CalcLeft", std::to_string(left)}, {"CalcTop", std::to_string(top)}};
}

std::string Shown(const SettingValues& values) {
    std::string shown;
    for (const auto& [name, value] : values) {
        shown.append(name).append("=").append(value).append(" ");
    }
    return shown;
}

std::string Shown(const std::vector<Try>& tries) {
    std::string shown;
    for (const Try& t : tries) {
        shown.append("[").append(Shown(t.Values)).append("] ");
    }
    return shown;
}

struct Writing {
    VirtualClock Clock;
    FakeStore Store{Clock};
    std::optional<SettingsWriter> Writer{
        std::in_place, [this](const SettingValues& values) { return Store.Attempt(values); },
        Clock};
};

TEST(SettingsWriter, WritesOnlyTheNewestTextOfEachNameHandedOverWhileItWorks) {
    Writing w;
    w.Store.Hold = true;
    w.Writer->Write(Position(1, 1));
    ASSERT_TRUE(w.Store.WaitForTries(1));
    // Three hand-overs while the first write is under way; a copy of one value among them.
    w.Writer->Write(Position(2, 2));
    w.Writer->Write({{"CalcLeft", ""}});
    w.Writer->Write({{"CalcLeft", "3"}});
    w.Store.Release();
    ASSERT_TRUE(w.Store.WaitForTries(2));
    ASSERT_TRUE(w.Clock.WaitUntilIdle());
    const std::vector<Try> tries = w.Store.Tries();
    ASSERT_EQ(tries.size(), 2u) << Shown(tries);
    EXPECT_EQ(tries[0].Values, Position(1, 1));
    EXPECT_EQ(tries[1].Values, Position(3, 2)) << "one write with the newest of each name";
}

TEST(SettingsWriter, KeepsTryingABusyStoreUntilItFreesAndStoresTheNewestHandOver) {
    // The second position is handed over while a try of the first is under way, late in the
    // busy period; the store frees after the retry period of the first hand-over, or long after
    // the second one's.
    struct Case {
        const char* Situation;
        std::chrono::milliseconds SecondHandOver;
        std::chrono::milliseconds StoreFree;
    };
    for (const Case& c : {Case{"released late in a busy period", 9500ms, 10300ms},
                          Case{"busy far longer than the retry period", 2s, 45s}}) {
        Writing w;
        const TimePoint start = w.Clock.Now();
        const TimePoint free = start + c.StoreFree;
        w.Store.Answer = [&](const SettingValues&) {
            return w.Clock.Now() < free ? Outcome::Busy : Outcome::Done;
        };
        w.Store.HoldFrom = start + c.SecondHandOver;
        w.Writer->Write(Position(1, 1));
        ASSERT_TRUE(w.Store.WaitUntilHeld()) << c.Situation;
        const std::size_t handedOverAt = w.Store.Tries().size();
        w.Writer->Write(Position(2, 2));
        w.Store.Release();
        ASSERT_TRUE(w.Clock.WaitUntilIdle()) << c.Situation << ": the writer never finished";
        const std::vector<Try> tries = w.Store.Tries();
        ASSERT_GT(tries.size(), handedOverAt + 1) << c.Situation << ": " << Shown(tries);
        EXPECT_GE(tries.back().At, free) << c.Situation << ": a busy try counted as done";
        EXPECT_LE(tries.back().At - free, SettingsWriter::LongestPause) << c.Situation;
        for (std::size_t i = 0; i < tries.size(); ++i) {
            const SettingValues& expected = i < handedOverAt ? Position(1, 1) : Position(2, 2);
            EXPECT_EQ(tries[i].Values, expected)
                << c.Situation << ": try " << i << " of " << Shown(tries);
        }
        // Pauses start short at each hand-over and double up to the longest while the retry
        // period since that hand-over lasts; after it they are all the longest.
        auto pause = SettingsWriter::FirstPause;
        TimePoint growingUntil{};
        for (std::size_t i = 0; i + 1 < tries.size(); ++i) {
            if (i == 0 || i + 1 == handedOverAt) {
                pause = SettingsWriter::FirstPause;
                growingUntil = tries[i].At + SettingsWriter::RetryFor;
            } else {
                pause = tries[i - 1].At < growingUntil
                            ? std::min(pause * 2, SettingsWriter::LongestPause)
                            : SettingsWriter::LongestPause;
            }
            EXPECT_EQ(tries[i + 1].At - tries[i].At, pause)
                << c.Situation << ": before try " << i + 1 << ", the hand-over before try "
                << handedOverAt;
        }
    }
}

TEST(SettingsWriter, ABusyPeriodLongerThanTheRetryPeriodEndsWithTheNewestValuesInBothStores) {
    // The registry frees before the legacy file: each try writes both, so the registry is
    // written again with every position until the file takes one too.
    struct ClockedStores : RegistryKeyStore, ProfileStore {
        explicit ClockedStores(VirtualClock& clock) : Clock(clock) {}
        std::string ReadString(const std::string&) override { return ""; }
        std::string ReadString(const std::string&, const std::string&, const std::string&,
                               std::size_t) override {
            return "";
        }
        void WriteStrings(const SettingValues& values) override {
            Store(Registry, values, RegistryFree);
        }
        void WriteStrings(const std::string&, const SettingValues& values) override {
            Store(Profile, values, ProfileFree);
        }
        void Store(SettingValues& into, const SettingValues& values, TimePoint free) {
            if (Clock.Now() < free) {
                throw StoreBusy("busy");
            }
            into = values;
        }
        VirtualClock& Clock;
        TimePoint RegistryFree = TimePoint{} + 12s;
        TimePoint ProfileFree = TimePoint{} + 30s;
        SettingValues Registry;
        SettingValues Profile;
    };
    VirtualClock clock;
    ClockedStores stores(clock);
    {
        BackgroundSettingsStore store(stores, stores, clock);
        store.WriteSettings(Position(1, 1));
        store.WriteSettings(Position(2, 2));
        store.WriteSettings(Position(3, 4));
        ASSERT_TRUE(clock.WaitUntilIdle()) << "the writer never finished";
        EXPECT_GE(clock.Now(), stores.ProfileFree);
    }
    EXPECT_EQ(stores.Registry, Position(3, 4));
    EXPECT_EQ(stores.Profile, Position(3, 4));
}

TEST(SettingsWriter, StartsNoThreadUntilTheFirstHandOver) {
    // A thread made at construction would have to be told to end, and the end reads the time.
    VirtualClock clock;
    FakeStore store(clock);
    {
        SettingsWriter writer([&](const SettingValues& values) { return store.Attempt(values); },
                              clock);
        writer.Finish();
        writer.Write(Position(1, 1));
    }
    EXPECT_FALSE(clock.EverRead()) << "a thread was made at construction";
    EXPECT_TRUE(store.Tries().empty()) << "a hand-over after the end was written";
}

TEST(SettingsWriter, AtExitFinishesAPendingWriteWithinTheGraceThenAbandonsIt) {
    struct Case {
        const char* Situation;
        int BusyTries;  // before the store takes the write; -1: never
    };
    for (const Case& c :
         {Case{"store free again after two tries", 2}, Case{"store busy for good", -1}}) {
        Writing w;
        int tries = 0;
        w.Store.Answer = [&](const SettingValues&) {
            return c.BusyTries < 0 || tries++ < c.BusyTries ? Outcome::Busy : Outcome::Done;
        };
        w.Store.Hold = true;
        w.Writer->Write(Position(5, 6));
        ASSERT_TRUE(w.Store.WaitForTries(1)) << c.Situation;
        // The program ends while the first try is under way; that try then ends busy.
        const TimePoint exit = w.Clock.Now();
        std::thread ending([&] { w.Writer.reset(); });
        const bool told = w.Clock.WaitUntilReadBy(ending.get_id());
        w.Store.Release();
        ending.join();
        ASSERT_TRUE(told) << c.Situation << ": the exit never read the time";
        const std::vector<Try> all = w.Store.Tries();
        ASSERT_GE(all.size(), 2u) << c.Situation << ": not tried again at exit";
        for (const Try& t : all) {
            EXPECT_EQ(t.Values, Position(5, 6)) << c.Situation;
            EXPECT_LE(t.At - exit, SettingsWriter::ExitGrace) << c.Situation << ": tried too late";
        }
        if (c.BusyTries >= 0) {
            EXPECT_EQ(all.size(), static_cast<std::size_t>(c.BusyTries + 1)) << c.Situation;
        } else {
            EXPECT_EQ(all.back().At - exit, SettingsWriter::ExitGrace)
                << c.Situation << ": the last try does not come as the grace ends";
        }
    }
}

}  // namespace
