#pragma once
// Where the window goes and how large it may be when the screens change under it: a new scale
// makes it larger or smaller, a monitor is unplugged or rearranged. The rules keep the window
// wholly reachable, since it has no frame to drag it back by; none touches the stored position,
// which stays the user's.

#include <optional>
#include <vector>

#include "FormTypes.h"

// The new top left of a window that changes from `before` to width × height: on the monitor
// that holds most of it, the corner nearest that monitor's corresponding corner stays where it
// was, so a window flush with an edge stays flush with it; then it is pulled wholly onto that
// monitor when it no longer fits where it is.
Point ResizedPlace(const Rect& before, int width, int height, const std::vector<Rect>& monitors);

// Where a window that is no longer wholly on the monitors goes: wholly onto the monitor nearest
// to it, moved as little as possible. Nothing when every pixel of it is still on a monitor, or
// there are no monitors.
std::optional<Point> BackOnScreen(const Rect& window, const std::vector<Rect>& monitors);

// The factor a form of designSize takes when the desktop asks for wanted, on a monitor with the
// given work area: wanted, but never below 1, since a smaller window has illegible keys, and no
// larger than lets the whole window fit the work area, so that every key stays reachable (a
// mistyped 960 dots per inch for 96). A work area smaller than the design gets the design's size.
ScaleFactor FittingScale(ScaleFactor wanted, Point designSize, const Rect& workArea);

// The lower half of that rule alone, where no work area is known yet: wanted, but never below 1.
ScaleFactor AtLeastDesign(ScaleFactor wanted);

// The work area of the monitor that holds most of the window, or the nearest one; the monitor
// itself where the layout gives it none. Nothing without monitors.
std::optional<Rect> HomeWorkArea(const Rect& window, const ScreenLayout& layout);
