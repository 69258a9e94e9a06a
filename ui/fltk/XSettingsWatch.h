#pragma once
// Follows the desktop's theme name through XSETTINGS with plain Xlib: the settings manager owns
// the _XSETTINGS_S0 selection and keeps the settings in a property of its window. A change of the
// property, a new manager (announced by a MANAGER message to the root window) and the manager
// going away all count as a change; with no manager there is no theme name.

#include <functional>
#include <string>

class XSettingsWatch {
public:
    // changed runs on the GUI thread, from the event loop, after each change of the theme name.
    explicit XSettingsWatch(std::function<void()> changed);
    ~XSettingsWatch();
    XSettingsWatch(const XSettingsWatch&) = delete;
    XSettingsWatch& operator=(const XSettingsWatch&) = delete;

    // Net/ThemeName as the manager has it now; empty without a manager or a theme name.
    const std::string& ThemeName() const { return themeName_; }

private:
    static int SystemEvent(void* event, void* watch);
    // Finds the manager's window and asks for its changes and its end; returns whether the theme
    // name changed.
    bool FollowManager();
    bool ReadThemeName();

    std::function<void()> changed_;
    unsigned long selection_ = 0;  // atoms and the window, as Xlib's integer types
    unsigned long settingsProperty_ = 0;
    unsigned long managerMessage_ = 0;
    unsigned long manager_ = 0;
    std::string themeName_;
};
