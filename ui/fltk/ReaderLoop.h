#pragma once
// The screen-reader library's share of FLTK's loop: the descriptors and the time it waits for,
// watched with FLTK's own descriptor and timeout calls, so that an idle calculator sleeps
// until the bus has something for it.

#include <functional>
#include <map>

#include "AccessibleWindow.h"

class ReaderLoop {
public:
    // `due` runs from FLTK's loop when a descriptor is ready or the time is up; it serves the
    // library and hands its next wait to Watch.
    explicit ReaderLoop(std::function<void()> due);
    ~ReaderLoop();
    ReaderLoop(const ReaderLoop&) = delete;
    ReaderLoop& operator=(const ReaderLoop&) = delete;

    // Waits for this instead of what was waited for before.
    void Watch(const LoopWait& wait);
    // Waits for nothing any more.
    void Stop();

private:
    static void Ready(int descriptor, void* loop);
    static void Elapsed(void* loop);

    std::function<void()> due_;
    std::map<int, int> watched_;  // FLTK's FL_READ and FL_WRITE bits by descriptor
};
