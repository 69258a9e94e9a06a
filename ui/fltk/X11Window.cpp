// Xlib and EWMH requests for the calculator window; see X11Window.h.
#include "X11Window.h"

#include <FL/x.H>

#include <X11/Xatom.h>
#include <X11/extensions/shape.h>

namespace {

// _NET_WM_STATE actions.
constexpr long StateRemove = 0;
constexpr long StateAdd = 1;
// _NET_ACTIVE_WINDOW and _NET_WM_STATE source indication: a normal application.
constexpr long SourceApplication = 1;

Atom AtomNamed(const char* name) {
    return XInternAtom(fl_display, name, False);
}

// EWMH requests go to the root window as client messages about our window.
void SendToRoot(Window window, const char* messageType, long first, long second, long third = 0) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = AtomNamed(messageType);
    event.xclient.format = 32;
    event.xclient.data.l[0] = first;
    event.xclient.data.l[1] = second;
    event.xclient.data.l[2] = third;
    event.xclient.data.l[3] = SourceApplication;
    XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
}

}  // namespace

void SetWindowOpacity(XWindowId window, int alpha) {
    // The property scales 0..255 to the whole 32-bit range: 255 becomes 0xFFFFFFFF.
    const unsigned long opacity = static_cast<unsigned long>(alpha) * 0x01010101UL;
    XChangeProperty(fl_display, window, AtomNamed("_NET_WM_WINDOW_OPACITY"), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&opacity), 1);
    XFlush(fl_display);
}

void SetWindowShape(XWindowId window, const std::vector<Rect>& visible) {
    std::vector<XRectangle> rectangles;
    rectangles.reserve(visible.size());
    for (const Rect& rect : visible) {
        rectangles.push_back({static_cast<short>(rect.Left), static_cast<short>(rect.Top),
                              static_cast<unsigned short>(rect.Width),
                              static_cast<unsigned short>(rect.Height)});
    }
    XShapeCombineRectangles(fl_display, window, ShapeBounding, 0, 0, rectangles.data(),
                            static_cast<int>(rectangles.size()), ShapeSet, Unsorted);
    XFlush(fl_display);
}

void RemoveWindowShape(XWindowId window) {
    XShapeCombineMask(fl_display, window, ShapeBounding, 0, 0, None, ShapeSet);
    XFlush(fl_display);
}

void PresentAboveOthers(XWindowId window) {
    SendToRoot(window, "_NET_ACTIVE_WINDOW", SourceApplication, CurrentTime);
    const auto skipTaskbar = static_cast<long>(AtomNamed("_NET_WM_STATE_SKIP_TASKBAR"));
    const auto above = static_cast<long>(AtomNamed("_NET_WM_STATE_ABOVE"));
    SendToRoot(window, "_NET_WM_STATE", StateRemove, skipTaskbar);
    SendToRoot(window, "_NET_WM_STATE", StateAdd, above);
    XFlush(fl_display);
}

bool FocusIsOurs() {
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(fl_display, &focus, &revertTo);
    // The focus may rest on a child of a toolkit window, so walk up to the root.
    while (focus != None && focus != PointerRoot) {
        if (fl_find(focus) != nullptr) {
            return true;
        }
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(fl_display, focus, &root, &parent, &children, &count) == 0) {
            return false;
        }
        if (children != nullptr) {
            XFree(children);
        }
        if (parent == root) {
            return false;
        }
        focus = parent;
    }
    return false;
}

void SelectRootEvents(long mask) {
    const Window root = RootWindow(fl_display, fl_screen);
    XWindowAttributes attributes{};
    XGetWindowAttributes(fl_display, root, &attributes);
    XSelectInput(fl_display, root, attributes.your_event_mask | mask);
}
