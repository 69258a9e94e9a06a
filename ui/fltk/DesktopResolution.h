#pragma once
// The desktop's text resolution on X11. Desktops express the user's scaling through the Xft.dpi
// resource (GNOME, KDE and Xfce all set it), and Xft and the other toolkits follow it. The
// physical size that the X screen or a monitor reports is never used: monitors and compositors
// report it freely, and a screen claiming 25 dots per inch would shrink the window to a third.

#include <string_view>

inline constexpr double DesignDotsPerInch = 96.0;

// The Xft.dpi value of a resource manager string (the root window's RESOURCE_MANAGER property,
// "name:<tab>value" lines, as XResourceManagerString gives it); 96 when it is not set, or is not
// a resolution from 24 to 960 dots per inch.
double DesktopDotsPerInch(std::string_view resources);
