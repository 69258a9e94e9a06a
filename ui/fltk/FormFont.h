#pragma once
// The form font on X11. The design's font is "MS Sans Serif" 8 point bold, whose digits stand
// 8 pixels high at 96 dots per inch. Whatever bold sans face fontconfig gives FLTK for
// FL_HELVETICA_BOLD (DejaVu Sans, Noto Sans, Open Sans, Cantarell, Nimbus Sans and others differ
// by a fifth and more in how tall their digits stand at one size, and by more in line height),
// each digit height is drawn at the FLTK size whose digits come nearest to it, so the display
// reads alike in every face; the window's size never depends on the face.

#include <FL/Enumerations.H>

#include <thread>
#include <vector>

constexpr Fl_Font FormFontFace = FL_HELVETICA_BOLD;

// The FLTK size whose digits stand nearest to digitHeight pixels, and how high they stand there,
// measured in the face FLTK uses. Needs the display to be open.
struct FltkFontSize {
    int Size = 1;
    int DigitHeight = 1;
};
FltkFontSize FltkFontSizeForDigits(int digitHeight);

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

// Opens the face for each of the digit heights, with the glyphs of numbers, so that the first
// paint after the window maps draws at once. Needs the display to be open.
void OpenFormFonts(const std::vector<int>& digitHeights);
