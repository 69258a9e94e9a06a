// The screen-reader library's share of FLTK's loop; see ReaderLoop.h.
#include "ReaderLoop.h"

#include <FL/Fl.H>

#include <utility>

ReaderLoop::ReaderLoop(std::function<void()> due) : due_(std::move(due)) {}

ReaderLoop::~ReaderLoop() {
    Stop();
}

void ReaderLoop::Watch(const LoopWait& wait) {
    std::map<int, int> wanted;
    for (const LoopDescriptor& descriptor : wait.Descriptors) {
        wanted[descriptor.Descriptor] |=
            (descriptor.Read ? FL_READ : 0) | (descriptor.Write ? FL_WRITE : 0);
    }
    for (const auto& [descriptor, when] : watched_) {
        if (const auto found = wanted.find(descriptor);
            found == wanted.end() || found->second != when) {
            Fl::remove_fd(descriptor);
        }
    }
    for (const auto& [descriptor, when] : wanted) {
        if (const auto found = watched_.find(descriptor);
            when != 0 && (found == watched_.end() || found->second != when)) {
            Fl::add_fd(descriptor, when, Ready, this);
        }
    }
    std::erase_if(wanted, [](const auto& entry) { return entry.second == 0; });
    watched_ = std::move(wanted);
    Fl::remove_timeout(Elapsed, this);
    if (wait.TimeoutMilliseconds >= 0) {
        Fl::add_timeout(wait.TimeoutMilliseconds / 1000.0, Elapsed, this);
    }
}

void ReaderLoop::Stop() {
    for (const auto& [descriptor, when] : watched_) {
        Fl::remove_fd(descriptor);
    }
    watched_.clear();
    Fl::remove_timeout(Elapsed, this);
}

void ReaderLoop::Ready(int, void* loop) {
    static_cast<ReaderLoop*>(loop)->due_();
}

void ReaderLoop::Elapsed(void* loop) {
    static_cast<ReaderLoop*>(loop)->due_();
}
