// The form font's scale and size; see FormFont.h.
#include "FormFont.h"

#include "DesktopResolution.h"
#include "FontFit.h"

#include <FL/fl_draw.H>

#include <cmath>
#include <cstdlib>
#include <map>

ScaleFactor DesktopScale(double dotsPerInch) {
    return {static_cast<int>(std::lround(dotsPerInch)), static_cast<int>(DesignDotsPerInch)};
}

int FltkFontSize(int formFontHeight) {
    // Each height is measured once: the labels are redrawn often, the face never changes.
    static std::map<int, int> sizes;
    if (const auto found = sizes.find(formFontHeight); found != sizes.end()) {
        return found->second;
    }
    const int size = FontSizeForCell(FormFontCell(formFontHeight), [](int candidate) {
        fl_font(FormFontFace, candidate);
        return fl_height();
    });
    sizes.emplace(formFontHeight, size);
    return size;
}
