#pragma once
// The desktop's scale on X11, in one place. Desktops express the user's scaling through the
// text resolution: a settings manager serves it as XSETTINGS' Xft/DPI (GNOME's, Xfce's, or
// xsettingsd alone under many window managers), and the root window's RESOURCE_MANAGER carries
// it as Xft.dpi (xrdb, KDE). As GTK does, a served Xft/DPI comes first. The physical size that
// the X screen or a monitor reports is never used: monitors and compositors report it freely,
// and a screen claiming 25 dots per inch would shrink the window to a third.

#include <cstdint>
#include <optional>
#include <string_view>

#include "FormTypes.h"

inline constexpr double DesignDotsPerInch = 96.0;

// The Xft.dpi value of a resource manager string (the root window's RESOURCE_MANAGER property,
// "name:<tab>value" lines, as XResourceManagerString gives it); 96 when it is not set, or is not
// a resolution from 24 to 960 dots per inch.
double DesktopDotsPerInch(std::string_view resources);

// The desktop's resolution: the settings manager's Xft/DPI (in 1024ths of a dot per inch) when
// it serves one from 24 to 960 dots per inch, else the resources' Xft.dpi as above.
double DesktopDotsPerInch(std::optional<std::int32_t> xsettingsDpi, std::string_view resources);

// The desktop's scale: its resolution over the design's 96 dots per inch, whole dots per inch.
// Whether the window fits at it is the form's to decide.
ScaleFactor DesktopScale(double dotsPerInch);
