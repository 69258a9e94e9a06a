#pragma once
// Where a hint window goes, on every platform alike: the backend measures the hint and finds the
// screen the pointer is on; this decides the rest.

#include "FormTypes.h"

// How far below the pointer's hot spot a hint starts: below the pointer's arrow or hand, as the
// platforms' tooltips do, at the design's scale.
inline constexpr int HintPointerHeight = 20;

// At the pointer's x, pointerHeight below it; pulled left to stay on the screen, and above the
// pointer where there is no room below. A hint larger than the screen starts at its top left.
Point HintPosition(int width, int height, Point screenPointer, const Rect& screen,
                   int pointerHeight = HintPointerHeight);
