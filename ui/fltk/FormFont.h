#pragma once
// The form font on X11. The design's font is "MS Sans Serif" 8 point bold: an 11-pixel face at
// 96 dots per inch whose text "0" has a 13-pixel cell. Whatever bold sans face fontconfig gives
// FLTK for FL_HELVETICA_BOLD (DejaVu Sans, Noto Sans, Nimbus Sans and others differ by a fifth in
// cell height at one size), each form font height is drawn at the FLTK size whose cell comes
// nearest to the one that height has in the design, so the text fits its labels whichever face it
// is; the window's size never depends on the face.

#include <FL/Enumerations.H>

#include "FormTypes.h"

constexpr Fl_Font FormFontFace = FL_HELVETICA_BOLD;

// The desktop's scale: its resolution over the design's 96 dots per inch, whole dots per inch.
ScaleFactor DesktopScale(double dotsPerInch);

// The FLTK size that draws a form font of the given height in the design's pixels (11 at 96 dots
// per inch), measured in the face FLTK uses. Needs the display to be open.
int FltkFontSize(int formFontHeight);
