// The root window's resources and the RandR monitor layout, followed; see DesktopWatch.h.
//
// RandR is the one X extension that reports monitors being added, removed or rearranged (its
// RandR 1.5 monitors are what xrandr --setmonitor and the desktops set); Xinerama, which FLTK
// reads the layout from, has no events. libXrandr is a small part of Xlib's extension family.
#include "DesktopWatch.h"

#include "X11Window.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <utility>

namespace {

constexpr double WindowManagerDelay = 0.5;

Window Root() {
    return RootWindow(fl_display, fl_screen);
}

}  // namespace

std::string CurrentDesktopResources() {
    const Atom property = XInternAtom(fl_display, "RESOURCE_MANAGER", False);
    std::string resources;
    long offset = 0;
    // Read in pieces until nothing remains: a desktop's database can be long.
    for (;;) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(fl_display, Root(), property, offset, 16384, False, XA_STRING, &type,
                               &format, &count, &remaining, &data) != Success) {
            return resources;
        }
        if (data != nullptr) {
            if (type == XA_STRING && format == 8) {
                resources.append(reinterpret_cast<const char*>(data), count);
            }
            XFree(data);
        }
        if (type != XA_STRING || format != 8 || remaining == 0) {
            return resources;
        }
        offset += static_cast<long>(count / 4);
    }
}

DesktopWatch::DesktopWatch(std::function<void()> resourcesChanged,
                           std::function<void()> screensChanged)
    : resourcesChanged_(std::move(resourcesChanged)),
      screensChanged_(std::move(screensChanged)),
      resourceManager_(XInternAtom(fl_display, "RESOURCE_MANAGER", False)) {
    // The root window's configuration changes with its size, and Xvfb and some servers announce
    // a change of RandR monitors only that way.
    SelectRootEvents(PropertyChangeMask | StructureNotifyMask);
    int errorBase = 0;
    if (XRRQueryExtension(fl_display, &randrEventBase_, &errorBase) != 0) {
        XRRSelectInput(
            fl_display, Root(),
            RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    } else {
        randrEventBase_ = -1;
    }
    Fl::add_system_handler(SystemEvent, this);
}

DesktopWatch::~DesktopWatch() {
    Fl::remove_system_handler(SystemEvent);
    Fl::remove_timeout(LookAgain, this);
}

void DesktopWatch::LookAgain(void* watch) {
    static_cast<DesktopWatch*>(watch)->screensChanged_();
}

int DesktopWatch::SystemEvent(void* event, void* watch) {
    auto& self = *static_cast<DesktopWatch*>(watch);
    auto* x = static_cast<XEvent*>(event);
    if (x->type == PropertyNotify && x->xproperty.window == Root() &&
        x->xproperty.atom == self.resourceManager_) {
        self.resourcesChanged_();
    } else if ((x->type == ConfigureNotify && x->xconfigure.window == Root()) ||
               (self.randrEventBase_ >= 0 &&
                (x->type == self.randrEventBase_ + RRScreenChangeNotify ||
                 x->type == self.randrEventBase_ + RRNotify))) {
        // Xlib keeps the screen's size from the connection's start until told.
        XRRUpdateConfiguration(x);
        Fl::call_screen_init();
        self.screensChanged_();
        // A window manager may move windows of its own accord after the change, and leave
        // ours partly off the screens (openbox keeps a strip visible); look once more when it
        // has.
        Fl::remove_timeout(LookAgain, watch);
        Fl::add_timeout(WindowManagerDelay, LookAgain, watch);
    }
    // FLTK goes on with the event as usual.
    return 0;
}
