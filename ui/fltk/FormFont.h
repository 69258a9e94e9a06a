#pragma once
// The form font on X11. The design's font is "MS Sans Serif" 8 point bold: an 11-pixel face at
// 96 dots per inch whose text "0" has a 13-pixel cell. Whatever bold sans face fontconfig gives
// FLTK for FL_HELVETICA_BOLD (DejaVu Sans, Noto Sans, Nimbus Sans and others differ by a fifth in
// cell height at one size), each form font height is drawn at the FLTK size whose cell comes
// nearest to the one that height has in the design, so the text fits its labels whichever face it
// is; the window's size never depends on the face.

#include <FL/Enumerations.H>

#include <functional>
#include <thread>
#include <vector>

#include "FormTypes.h"

constexpr Fl_Font FormFontFace = FL_HELVETICA_BOLD;

// The desktop's scale: its resolution over the design's 96 dots per inch, whole dots per inch.
ScaleFactor DesktopScale(double dotsPerInch);

// The size whose cell, as cellAt measures it, comes nearest to cell; of two as near, the smaller.
// cellAt grows with the size.
int FontSizeForCell(double cell, const std::function<int(int size)>& cellAt);

// The FLTK size that draws a form font of the given height in the design's pixels (11 at 96 dots
// per inch), measured in the face FLTK uses. Needs the display to be open.
int FltkFontSize(int formFontHeight);

// The font configuration loaded on a thread of its own from the moment the display opens, while
// the window is built, instead of inside the first paint.
class FontConfigurationLoad {
public:
    FontConfigurationLoad();
    ~FontConfigurationLoad() { Wait(); }
    FontConfigurationLoad(const FontConfigurationLoad&) = delete;
    FontConfigurationLoad& operator=(const FontConfigurationLoad&) = delete;
    void Wait();

private:
    std::thread thread_;
};

// Opens the face at each of the heights, with the glyphs of numbers, so that the first paint
// after the window maps draws at once. Needs the display to be open.
void OpenFormFonts(const std::vector<int>& formFontHeights);
