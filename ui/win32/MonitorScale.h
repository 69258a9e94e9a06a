#pragma once
// The resolution the calculator's window is shown at, and the scale it gives the form. Under
// per-monitor awareness each monitor has its own; the functions that tell it exist only from
// Windows 10 on, so they are looked up at run time and the program still starts where they are
// missing, at the system's resolution.

#include <windows.h>

#include <optional>

#include "FormTypes.h"

// The window's monitor's dots per inch where the system tells it, else the system's.
int WindowDotsPerInch(HWND window);

// The system's status font (the tooltips' font) at a resolution; nothing when the system does not
// tell it.
std::optional<LOGFONTW> StatusFontAt(int dotsPerInch);

// The form's scale at a resolution: dotsPerInch / 96 exactly, whatever fonts the system has; the
// form font is then sized to it.
ScaleFactor FormScaleAt(int dotsPerInch);
