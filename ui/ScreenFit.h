#pragma once
// Where the window goes when the screens change under it: a new scale makes it larger or smaller,
// a monitor is unplugged or rearranged. Both rules keep the window wholly reachable, since it
// has no frame to drag it back by; neither touches the stored position, which stays the user's.

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
