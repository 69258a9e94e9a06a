// The form font's size by the height of its digits; see FormFont.h.
#include "FormFont.h"

#include "TextFit.h"

#include <FL/fl_draw.H>
#include <fontconfig/fontconfig.h>

#include <map>

namespace {

// How high the digits stand at an FLTK size: their ink, not the line's cell.
int DigitsHeightAt(int size) {
    fl_font(FormFontFace, size);
    int dx = 0;
    int dy = 0;
    int width = 0;
    int height = 0;
    fl_text_extents("0123456789", dx, dy, width, height);
    return height;
}

}  // namespace

FltkFontSize FltkFontSizeForDigits(int digitHeight) {
    // Each height is measured once: the labels are redrawn often, the face never changes.
    static std::map<int, FltkFontSize> sizes;
    if (const auto found = sizes.find(digitHeight); found != sizes.end()) {
        return found->second;
    }
    const int size = SizeNearest(digitHeight, DigitsHeightAt);
    const FltkFontSize measured{size, DigitsHeightAt(size)};
    sizes.emplace(digitHeight, measured);
    return measured;
}

FontConfigurationLoad::FontConfigurationLoad() : thread_([] { FcInit(); }) {}

void FontConfigurationLoad::Wait() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

void OpenFormFonts(const std::vector<int>& digitHeights) {
    for (const int height : digitHeights) {
        fl_font(FormFontFace, FltkFontSizeForDigits(height).Size);
        static_cast<void>(fl_width("0123456789,-"));
    }
}
