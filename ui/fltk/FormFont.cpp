// The form font's scale and size; see FormFont.h.
#include "FormFont.h"

#include "DesktopResolution.h"
#include "Form.h"

#include <FL/fl_draw.H>
#include <fontconfig/fontconfig.h>

#include <cmath>
#include <cstdlib>
#include <map>

namespace {

// MS Sans Serif's 11-pixel face has the 13-pixel cell of the design.
constexpr int DesignFaceHeight = 11;
// Far beyond any form font; a measurement that never reaches the cell stops here.
constexpr int LargestSize = 1000;

}  // namespace

ScaleFactor DesktopScale(double dotsPerInch) {
    return {static_cast<int>(std::lround(dotsPerInch)), static_cast<int>(DesignDotsPerInch)};
}

int FontSizeForCell(double cell, const std::function<int(int size)>& cellAt) {
    // Most faces have a cell of about 1.2 to 1.4 times their size: start near and walk.
    int size = std::max(1, static_cast<int>(std::lround(cell / 1.3)));
    while (size < LargestSize && cellAt(size) < cell) {
        ++size;
    }
    while (size > 1 && cellAt(size - 1) >= cell) {
        --size;
    }
    // size is now the smallest whose cell reaches the target; the one below may be nearer.
    if (size > 1 && cell - cellAt(size - 1) <= cellAt(size) - cell) {
        return size - 1;
    }
    return size;
}

int FltkFontSize(int formFontHeight) {
    // Each height is measured once: the labels are redrawn often, the face never changes.
    static std::map<int, int> sizes;
    if (const auto found = sizes.find(formFontHeight); found != sizes.end()) {
        return found->second;
    }
    const double cell =
        formFontHeight * static_cast<double>(Form::DesignTextHeight) / DesignFaceHeight;
    const int size = FontSizeForCell(cell, [](int candidate) {
        fl_font(FormFontFace, candidate);
        return fl_height();
    });
    sizes.emplace(formFontHeight, size);
    return size;
}

FontConfigurationLoad::FontConfigurationLoad() : thread_([] { FcInit(); }) {}

void FontConfigurationLoad::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void OpenFormFonts(const std::vector<int>& formFontHeights) {
    for (const int height : formFontHeights) {
        fl_font(FormFontFace, FltkFontSize(height));
        static_cast<void>(fl_width("0123456789,-"));
    }
}
