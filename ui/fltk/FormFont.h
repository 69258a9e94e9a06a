#pragma once
// The form font on X11. The design's font is "MS Sans Serif" 8 point bold: an 11-pixel face at
// 96 dots per inch whose text "0" has a 13-pixel cell. DejaVu Sans Bold, which fontconfig gives
// FLTK for FL_HELVETICA_BOLD, has a taller cell for its size and reaches that 13-pixel cell at
// 10 pixels; so every form font height (the design's 11, or 11 scaled) is drawn at 10/11 of it.

#include <FL/Enumerations.H>

constexpr Fl_Font FormFontFace = FL_HELVETICA_BOLD;
constexpr int FormFontPoints = 8;

// The FLTK size that draws a form font of the given height in the design's pixels.
int FltkFontSize(int formFontHeight);

// The form font's height at the given screen resolution, as the design converts 8 point from
// 96 dots per inch to the screen's: 11 at 96, 16 at 144.
int FormFontHeightAt(double dotsPerInch);
