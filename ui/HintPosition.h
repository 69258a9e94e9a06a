#pragma once
// Where a hint window goes, on every platform alike: the backend measures the hint and finds the
// screen the pointer is on; this decides the rest.

#include "FormTypes.h"

// At the pointer's x, below its arrow; pulled left to stay on the screen, and above the pointer
// where there is no room below. A hint larger than the screen starts at its top left.
Point HintPosition(int width, int height, Point screenPointer, const Rect& screen);
