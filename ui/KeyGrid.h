#pragma once
// The keypad as an aligned grid of equal keys, for the face drawn from the controls in high
// contrast. The design's key rectangles are uneven (a pixel out of line here, overlapping by a
// row there), which the skin hides but plain frames show; for a reader of large, plain shapes
// the keys stand in even rows and columns instead, each key where its design rectangle lies.

#include <vector>

#include "FormTypes.h"

// The keys laid out again on the grid their rectangles suggest: rectangles whose left (or top)
// edges lie within a quarter of the smallest key of each other share a column (or row); the grid
// spans what the keys span, in equal steps, and a key covers the cells its rectangle reaches
// into, less gap pixels to the right and below, so that neighbouring keys never touch.
// Rectangles in the order of keys.
std::vector<Rect> AlignedKeyGrid(const std::vector<Rect>& keys, int gap);
