#pragma once
// High contrast on an X desktop: the desktop says it through its theme's name, which GNOME, MATE
// and Xfce call "HighContrast" for dark on light and "HighContrastInverse" for light on dark
// (older desktops add "LargePrint" in between). X has no system colours of its own to take, so the
// face is black on white, or white on black for an inverse theme, with the pressed key inverted.

#include <optional>
#include <string_view>

#include "FormTypes.h"

// The colours of the face for a theme name; nullopt for a theme that is no high-contrast one.
std::optional<SystemColours> HighContrastThemeColours(std::string_view themeName);
