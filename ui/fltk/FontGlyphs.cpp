// Glyph lookup in FLTK's current Xft face; see FontGlyphs.h.
#include "FontGlyphs.h"

#include <FL/x.H>

#include <X11/Xft/Xft.h>

// The XftFont that fl_font chose. FLTK exports it, but declares it for its own sources only.
extern void* fl_xftfont;

bool CurrentFontHasGlyph(char32_t character) {
    return fl_xftfont == nullptr ||
           XftCharExists(fl_display, static_cast<XftFont*>(fl_xftfont), character) != 0;
}
