// Application activation from X focus events; see ActivationTracker.h.
#include "ActivationTracker.h"

#include "X11Window.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <utility>

ActivationTracker::ActivationTracker(std::function<void(Activation)> changed)
    : changed_(std::move(changed)) {
    Fl::add_system_handler(SystemEvent, this);
}

ActivationTracker::~ActivationTracker() {
    Fl::remove_system_handler(SystemEvent);
    Fl::remove_timeout(Settled, this);
}

int ActivationTracker::SystemEvent(void* event, void* tracker) {
    const auto& xevent = *static_cast<const XEvent*>(event);
    const bool focusChange = xevent.type == FocusIn || xevent.type == FocusOut;
    // Grabs are how a popup menu takes the keyboard; the focus itself stays with us.
    if (focusChange && xevent.xfocus.mode != NotifyGrab && xevent.xfocus.mode != NotifyUngrab) {
        Fl::remove_timeout(Settled, tracker);
        Fl::add_timeout(SettleSeconds, Settled, tracker);
    }
    return 0;  // FLTK still handles the event as usual
}

void ActivationTracker::Settled(void* tracker) {
    auto& self = *static_cast<ActivationTracker*>(tracker);
    const Activation now = FocusIsOurs() ? Activation::Active : Activation::Inactive;
    if (self.current_ != now) {
        self.current_ = now;
        self.changed_(now);
    }
}
