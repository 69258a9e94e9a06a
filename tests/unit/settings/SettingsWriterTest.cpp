// The settings writer over a fake store and a clock whose time moves only while the writer waits:
// which values reach the store, when, and what happens to them at exit.

#include <gtest/gtest.h>

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

    Outcome Attempt(const SettingValues& values) {
        std::unique_lock<std::mutex> lock(mutex_);
        tries_.push_back({clock_.Now(), values});
        changed_.notify_all();
        changed_.wait(lock, [this] { return !Hold; });
        return Answer(values);
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

TEST(SettingsWriter, TriesABusyStoreAgainWithGrowingPausesThenGivesUpUntilTheNextHandOver) {
    Writing w;
    // The first position meets a store that stays busy; the next one finds it free.
    w.Store.Answer = [](const SettingValues& values) {
        return values == Position(1, 1) ? Outcome::Busy : Outcome::Done;
    };
    w.Writer->Write(Position(1, 1));
    ASSERT_TRUE(w.Store.WaitForTries(2));
    ASSERT_TRUE(w.Clock.WaitUntilIdle()) << "the writer never gave up";
    const std::vector<Try> busy = w.Store.Tries();
    ASSERT_GE(busy.size(), 5u) << "too few tries: " << Shown(busy);
    for (std::size_t i = 1; i < busy.size(); ++i) {
        EXPECT_EQ(busy[i].Values, Position(1, 1)) << "try " << i;
    }
    for (std::size_t i = 2; i < busy.size(); ++i) {
        EXPECT_GE(busy[i].At - busy[i - 1].At, busy[i - 1].At - busy[i - 2].At)
            << "pause before try " << i << " shorter than the one before";
    }
    EXPECT_GT(busy[2].At - busy[1].At, busy[1].At - busy[0].At) << "the pauses do not grow";
    EXPECT_EQ(busy[1].At - busy[0].At, SettingsWriter::FirstPause);
    EXPECT_LE(busy.back().At - busy.front().At, SettingsWriter::RetryFor) << "tried too long";
    EXPECT_GT(busy.back().At - busy.front().At, SettingsWriter::RetryFor / 2) << "gave up too soon";

    w.Writer->Write(Position(2, 2));
    ASSERT_TRUE(w.Store.WaitForTries(busy.size() + 1));
    ASSERT_TRUE(w.Clock.WaitUntilIdle());
    const std::vector<Try> after = w.Store.Tries();
    ASSERT_EQ(after.size(), busy.size() + 1) << Shown(after);
    EXPECT_EQ(after.back().Values, Position(2, 2)) << "the given-up position came back";
    EXPECT_EQ(after.back().At, busy.back().At) << "the next hand-over must be tried at once";
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
            EXPECT_GT(all.back().At - exit, SettingsWriter::ExitGrace / 2)
                << c.Situation << ": abandoned too soon";
        }
    }
}

}  // namespace
