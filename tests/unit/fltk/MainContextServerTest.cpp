// GLib's default context served from another loop: what is due runs on the turn after it became
// due, what is waited for is handed out, and endless work never keeps the calling loop.

#include <gtest/gtest.h>

#include <glib-unix.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "MainContextServer.h"
#include "TestPipe_posix.h"

namespace {

bool Watches(const LoopWait& wait, int descriptor) {
    return std::ranges::any_of(wait.Descriptors, [&](const LoopDescriptor& watched) {
        return watched.Descriptor == descriptor && watched.Read && !watched.Write;
    });
}

gboolean Count(gpointer count) {
    ++*static_cast<int*>(count);
    return G_SOURCE_REMOVE;
}

gboolean CountForever(gpointer count) {
    ++*static_cast<int*>(count);
    return G_SOURCE_CONTINUE;
}

gboolean ReadByte(gint descriptor, GIOCondition, gpointer count) {
    char byte = 0;
    EXPECT_EQ(read(descriptor, &byte, 1), 1);
    ++*static_cast<int*>(count);
    return G_SOURCE_CONTINUE;
}

}  // namespace

TEST(MainContextServer, RunsWhatIsDueAndHandsOutWhatItWaitsFor) {
    MainContextServer server;
    TestPipe pipe;
    int reads = 0;
    int timeouts = 0;
    const guint watch = g_unix_fd_add(pipe.Read(), G_IO_IN, ReadByte, &reads);
    g_timeout_add(40, Count, &timeouts);

    LoopWait wait = server.Serve();
    EXPECT_TRUE(Watches(wait, pipe.Read())) << "the pipe is among the descriptors";
    EXPECT_GT(wait.TimeoutMilliseconds, 0);
    EXPECT_LE(wait.TimeoutMilliseconds, 40);
    EXPECT_EQ(reads + timeouts, 0) << "nothing was due yet";

    pipe.Write();
    wait = server.Serve();
    EXPECT_EQ(reads, 1) << "the readable pipe was served on the turn it woke";
    EXPECT_EQ(timeouts, 0);
    EXPECT_TRUE(Watches(wait, pipe.Read())) << "and is watched again";

    std::this_thread::sleep_for(std::chrono::milliseconds(45));
    wait = server.Serve();
    EXPECT_EQ(timeouts, 1) << "the time was up";
    EXPECT_EQ(wait.TimeoutMilliseconds, -1) << "no time is waited for once the timeout is gone";
    EXPECT_EQ(reads, 1) << "an empty pipe is not served";

    const guint writing = g_unix_fd_add(
        pipe.WriteEnd(), G_IO_OUT,
        [](gint, GIOCondition, gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    wait = server.Serve();
    EXPECT_TRUE(std::ranges::any_of(wait.Descriptors, [&](const LoopDescriptor& watched) {
        return watched.Descriptor == pipe.WriteEnd() && watched.Write && !watched.Read;
    })) << "a source that asks for writability is watched for it";
    g_source_remove(writing);
    g_source_remove(watch);
}

TEST(MainContextServer, ASourceAddedBetweenTurnsRunsOnTheNextTurn) {
    MainContextServer server;
    server.Serve();
    int idles = 0;
    // As the bridge does when a signal gives it something to send between two turns.
    g_idle_add(Count, &idles);
    const LoopWait wait = server.Serve();
    EXPECT_EQ(idles, 1);
    EXPECT_NE(wait.TimeoutMilliseconds, 0) << "nothing more is due";
}

TEST(MainContextServer, EndlessWorkLetsTheCallingLoopRunBetweenTurns) {
    MainContextServer server;
    int rounds = 0;
    const guint busy = g_idle_add(CountForever, &rounds);
    LoopWait wait = server.Serve();
    EXPECT_GT(rounds, 0);
    EXPECT_EQ(wait.TimeoutMilliseconds, 0) << "more is due at once";
    const int first = rounds;
    wait = server.Serve();
    EXPECT_GT(rounds, first) << "the next turn goes on with it";
    g_source_remove(busy);
    wait = server.Serve();
    EXPECT_NE(wait.TimeoutMilliseconds, 0) << "and once it is gone the loop may sleep";
}
