// GLib's main context served from another loop; see MainContextServer.h.
#include "MainContextServer.h"

namespace {

// How many rounds of immediately due work one turn handles before it lets the calling loop
// run: a flood of bus messages must not starve the window.
constexpr int RoundsPerTurn = 64;

}  // namespace

MainContextServer::MainContextServer() : context_(g_main_context_default()) {
    // The context stays acquired: only this thread ever runs it.
    owned_ = g_main_context_acquire(context_) != FALSE;
}

MainContextServer::~MainContextServer() {
    if (owned_) {
        g_main_context_release(context_);
    }
}

LoopWait MainContextServer::Serve() {
    if (!owned_) {
        return {};
    }
    if (prepared_) {
        DispatchReady();
    }
    int timeout = Prepare();
    for (int round = 1; timeout == 0 && round < RoundsPerTurn; ++round) {
        DispatchReady();
        timeout = Prepare();
    }
    LoopWait wait{.Descriptors = {}, .TimeoutMilliseconds = timeout};
    for (int index = 0; index < count_; ++index) {
        const GPollFD& descriptor = descriptors_[static_cast<std::size_t>(index)];
        wait.Descriptors.push_back({.Descriptor = descriptor.fd,
                                    .Read = (descriptor.events & (G_IO_IN | G_IO_PRI)) != 0,
                                    .Write = (descriptor.events & G_IO_OUT) != 0});
    }
    return wait;
}

// The loop that woke this turn may have watched only one of the descriptors, and the context
// may have been told of news since it was prepared; a poll that does not wait reads them all.
void MainContextServer::DispatchReady() {
    prepared_ = false;
    for (int index = 0; index < count_; ++index) {
        descriptors_[static_cast<std::size_t>(index)].revents = 0;
    }
    g_main_context_get_poll_func(context_)(descriptors_.data(), static_cast<guint>(count_), 0);
    if (g_main_context_check(context_, priority_, descriptors_.data(), count_)) {
        g_main_context_dispatch(context_);
    }
}

// Prepares the context and reads what it waits for; the timeout in milliseconds, -1 for none.
int MainContextServer::Prepare() {
    g_main_context_prepare(context_, &priority_);
    gint timeout = -1;
    for (;;) {
        count_ = g_main_context_query(context_, priority_, &timeout, descriptors_.data(),
                                      static_cast<gint>(descriptors_.size()));
        if (static_cast<std::size_t>(count_) <= descriptors_.size()) {
            break;
        }
        descriptors_.resize(static_cast<std::size_t>(count_));
    }
    prepared_ = true;
    return timeout;
}
