// The screen-reader library's share of FLTK's loop: what it names is watched, what it no longer
// names is not, and nothing once it is stopped. Runs FLTK's loop without a display.

#include <gtest/gtest.h>

#include <unistd.h>

#include <FL/Fl.H>

#include <algorithm>
#include <array>
#include <chrono>

#include "ReaderLoop.h"
#include "TestPipe_posix.h"

namespace {

LoopWait Reading(int descriptor, int timeout = -1) {
    return {.Descriptors = {{.Descriptor = descriptor, .Read = true}},
            .TimeoutMilliseconds = timeout};
}

// Runs FLTK's loop for that long, or until the loop was due when `until` is set; how often the
// loop was due meanwhile.
int DueAfterWaiting(int& due, double seconds, bool until = true) {
    const int before = due;
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!(until && due != before)) {
        const std::chrono::duration<double> left = end - std::chrono::steady_clock::now();
        if (left.count() <= 0) {
            break;
        }
        // In short turns: FLTK calls a timeout that came due at the start of its next turn.
        Fl::wait(std::min(left.count(), 0.01));
    }
    return due - before;
}

}  // namespace

TEST(ReaderLoop, WatchesWhatItIsToldAndNothingElse) {
    TestPipe first;
    TestPipe second;
    int due = 0;
    ReaderLoop loop([&] { ++due; });

    loop.Watch(Reading(first.Read()));
    first.Write();
    EXPECT_EQ(DueAfterWaiting(due, 1.0), 1) << "a readable descriptor makes the loop due";
    first.Drain();

    // The next wait names the second pipe only: the first is no longer watched.
    loop.Watch(Reading(second.Read()));
    first.Write();
    EXPECT_EQ(DueAfterWaiting(due, 0.05, false), 0) << "a descriptor dropped from the wait";
    second.Write();
    EXPECT_EQ(DueAfterWaiting(due, 1.0), 1);
    second.Drain();
    first.Drain();

    // The same descriptor asked for writing as well: watched once, for both.
    loop.Watch({.Descriptors = {{.Descriptor = first.Read(), .Read = true},
                                {.Descriptor = first.Read(), .Write = true}},
                .TimeoutMilliseconds = -1});
    first.Write();
    EXPECT_EQ(DueAfterWaiting(due, 1.0), 1);
    first.Drain();
    loop.Watch({.Descriptors = {{.Descriptor = second.WriteEnd(), .Write = true}},
                .TimeoutMilliseconds = -1});
    EXPECT_EQ(DueAfterWaiting(due, 1.0), 1) << "a descriptor asked for writing alone";

    loop.Stop();
    first.Write();
    second.Write();
    EXPECT_EQ(DueAfterWaiting(due, 0.05, false), 0) << "nothing is watched once stopped";
}

TEST(ReaderLoop, TheTimeIsWaitedForOnceAndReplacedByTheNextWait) {
    TestPipe idle;
    int due = 0;
    ReaderLoop loop([&] { ++due; });
    loop.Watch(Reading(idle.Read(), 10));
    EXPECT_EQ(DueAfterWaiting(due, 1.0), 1) << "the loop is due when the time is up";
    EXPECT_EQ(DueAfterWaiting(due, 0.05, false), 0) << "once: the next wait names the next time";

    loop.Watch(Reading(idle.Read(), 10));
    loop.Watch(Reading(idle.Read()));
    EXPECT_EQ(DueAfterWaiting(due, 0.05, false), 0)
        << "a wait without a time drops the earlier time";

    loop.Watch(Reading(idle.Read(), 0));
    EXPECT_EQ(DueAfterWaiting(due, 1.0), 1) << "a time of 0: due on the next turn of the loop";
}
