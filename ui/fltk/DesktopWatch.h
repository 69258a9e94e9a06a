#pragma once
// Follows the desktop while the program runs: the resource database on the root window, where
// xrdb and the desktops' settings daemons write Xft.dpi, and the RandR layout of monitors. FLTK
// 1.3 watches neither; its system handler passes every X event here first.

#include <functional>
#include <string>

class DesktopWatch {
public:
    // resourcesChanged runs after the root window's resource database was rewritten,
    // screensChanged after monitors came, went or moved. Needs the display to be open.
    DesktopWatch(std::function<void()> resourcesChanged, std::function<void()> screensChanged);
    ~DesktopWatch();
    DesktopWatch(const DesktopWatch&) = delete;
    DesktopWatch& operator=(const DesktopWatch&) = delete;

private:
    static int SystemEvent(void* event, void* watch);
    static void LookAgain(void* watch);

    std::function<void()> resourcesChanged_;
    std::function<void()> screensChanged_;
    unsigned long resourceManager_ = 0;  // the RESOURCE_MANAGER atom
    int randrEventBase_ = -1;            // -1 without the RandR extension
};

// The root window's resource database as it is now (not as it was when the display was opened,
// which is what Xlib's XResourceManagerString keeps); empty when there is none.
std::string CurrentDesktopResources();
