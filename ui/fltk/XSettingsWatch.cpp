// Following XSETTINGS with Xlib; see XSettingsWatch.h.
#include "XSettingsWatch.h"

#include "X11Window.h"
#include "XSettings.h"

#include <FL/Fl.H>
#include <FL/x.H>

#include <cstdint>
#include <optional>
#include <span>
#include <utility>

namespace {

// Far more than any desktop's settings take; a property beyond it is not read at all.
constexpr long LongestProperty = 256 * 1024;  // in 32-bit units, as Xlib counts
constexpr char ThemeNameSetting[] = "Net/ThemeName";
constexpr char ResolutionSetting[] = "Xft/DPI";

int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

}  // namespace

XSettingsWatch::XSettingsWatch(std::function<void()> themeChanged,
                               std::function<void()> resolutionChanged)
    : themeChanged_(std::move(themeChanged)), resolutionChanged_(std::move(resolutionChanged)) {
    const std::string selectionName = "_XSETTINGS_S" + std::to_string(fl_screen);
    char* names[] = {const_cast<char*>(selectionName.c_str()),
                     const_cast<char*>("_XSETTINGS_SETTINGS"), const_cast<char*>("MANAGER")};
    Atom atoms[3] = {};
    XInternAtoms(fl_display, names, 3, False, atoms);
    selection_ = atoms[0];
    settingsProperty_ = atoms[1];
    managerMessage_ = atoms[2];
    // A new manager announces itself to the root window's structure listeners.
    SelectRootEvents(StructureNotifyMask);
    Fl::add_system_handler(SystemEvent, this);
    FollowManager();
}

XSettingsWatch::~XSettingsWatch() {
    Fl::remove_system_handler(SystemEvent);
}

int XSettingsWatch::SystemEvent(void* event, void* watch) {
    const auto& xevent = *static_cast<const XEvent*>(event);
    auto& self = *static_cast<XSettingsWatch*>(watch);
    Changes changes;
    if (xevent.type == ClientMessage && xevent.xclient.message_type == self.managerMessage_ &&
        static_cast<unsigned long>(xevent.xclient.data.l[1]) == self.selection_) {
        changes = self.FollowManager();
    } else if (xevent.type == DestroyNotify && self.manager_ != None &&
               xevent.xdestroywindow.window == self.manager_) {
        // Another manager may have taken over already; otherwise there is none.
        changes = self.FollowManager();
    } else if (xevent.type == PropertyNotify && self.manager_ != None &&
               xevent.xproperty.window == self.manager_ &&
               xevent.xproperty.atom == self.settingsProperty_) {
        changes = self.ReadSettings();
    }
    if (changes.Resolution && self.resolutionChanged_) {
        self.resolutionChanged_();
    }
    if (changes.Theme && self.themeChanged_) {
        self.themeChanged_();
    }
    return 0;  // FLTK still handles the event as usual
}

XSettingsWatch::Changes XSettingsWatch::FollowManager() {
    // Held, so that the manager cannot go between finding its window and listening to it.
    XGrabServer(fl_display);
    manager_ = XGetSelectionOwner(fl_display, selection_);
    if (manager_ != None) {
        XSelectInput(fl_display, manager_, PropertyChangeMask | StructureNotifyMask);
    }
    XUngrabServer(fl_display);
    XFlush(fl_display);
    return ReadSettings();
}

XSettingsWatch::Changes XSettingsWatch::ReadSettings() {
    std::optional<std::string> themeName;
    std::optional<std::int32_t> xftDpi;
    if (manager_ != None) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long left = 0;
        unsigned char* data = nullptr;
        // The manager may be gone by now: that is no error worth a word, the destroy event
        // follows.
        const auto previous = XSetErrorHandler(IgnoreError);
        const int status =
            XGetWindowProperty(fl_display, manager_, settingsProperty_, 0, LongestProperty, False,
                               AnyPropertyType, &type, &format, &count, &left, &data);
        XSetErrorHandler(previous);
        if (status == Success && data != nullptr) {
            if (format == 8 && left == 0) {
                const std::span<const std::uint8_t> property(data, count);
                themeName = XSettingsString(property, ThemeNameSetting);
                xftDpi = XSettingsInteger(property, ResolutionSetting);
            }
            XFree(data);
        }
    }
    std::string theme = themeName.value_or("");
    const Changes changes{theme != themeName_, xftDpi != xftDpi_};
    themeName_ = std::move(theme);
    xftDpi_ = xftDpi;
    return changes;
}
