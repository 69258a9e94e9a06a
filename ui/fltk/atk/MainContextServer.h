#pragma once
// GLib's default main context, on which the bridge talks to the accessibility bus, served from
// another loop: each turn handles what is due and says which descriptors and how long to wait
// for next, so that the calling loop sleeps on them instead of polling GLib by a timer.

#include <glib.h>

#include <vector>

#include "AccessibleWindow.h"

class MainContextServer {
public:
    MainContextServer();
    ~MainContextServer();
    MainContextServer(const MainContextServer&) = delete;
    MainContextServer& operator=(const MainContextServer&) = delete;

    // Checks and dispatches what is ready, then prepares the next wait and describes it. A
    // timeout of 0 means work is due at once: the caller comes back soon without sleeping.
    LoopWait Serve();

private:
    void DispatchReady();
    int Prepare();

    GMainContext* context_;
    bool owned_ = false;
    bool prepared_ = false;
    gint priority_ = 0;
    std::vector<GPollFD> descriptors_;
    int count_ = 0;
};
