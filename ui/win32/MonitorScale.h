#pragma once
// The resolution the calculator's window is shown at, and the form font measured there. Under
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

// Height of the text "0" in the form font ("MS Sans Serif" 8 point bold) at a resolution, ascent
// plus descent: 13 at 96 dots per inch. The design's 13 where nothing can be measured.
int MeasureZeroHeight(int dotsPerInch);

// The factor the form scales by at a resolution: the measured "0" over the design's 13.
ScaleFactor FormScaleAt(int dotsPerInch);
