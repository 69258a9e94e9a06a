#pragma once
// Follows the desktop's theme name and text resolution through XSETTINGS with plain Xlib: the
// settings manager owns the _XSETTINGS_S0 selection and keeps the settings in a property of its
// window. A change of the property, a new manager (announced by a MANAGER message to the root
// window) and the manager going away all count as a change; with no manager there is neither.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class XSettingsWatch {
public:
    // Each runs on the GUI thread, from the event loop, after a change of what it names.
    XSettingsWatch(std::function<void()> themeChanged, std::function<void()> resolutionChanged);
    ~XSettingsWatch();
    XSettingsWatch(const XSettingsWatch&) = delete;
    XSettingsWatch& operator=(const XSettingsWatch&) = delete;

    // Net/ThemeName as the manager has it now; empty without a manager or a theme name.
    const std::string& ThemeName() const { return themeName_; }
    // Xft/DPI as the manager has it now, in 1024ths of a dot per inch; nullopt without a manager
    // or the setting (-1 is the manager's way of saying "the default").
    std::optional<std::int32_t> XftDpi() const { return xftDpi_; }

private:
    static int SystemEvent(void* event, void* watch);
    struct Changes {
        bool Theme = false;
        bool Resolution = false;
    };
    // Finds the manager's window and asks for its changes and its end, then reads the settings.
    Changes FollowManager();
    // Reads the settings again; returns what changed.
    Changes ReadSettings();

    std::function<void()> themeChanged_;
    std::function<void()> resolutionChanged_;
    unsigned long selection_ = 0;  // atoms and the window, as Xlib's integer types
    unsigned long settingsProperty_ = 0;
    unsigned long managerMessage_ = 0;
    unsigned long manager_ = 0;
    std::string themeName_;
    std::optional<std::int32_t> xftDpi_;
};
