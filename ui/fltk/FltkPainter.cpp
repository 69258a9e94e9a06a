// Drawing the skin and the labels with fl_draw; see FltkPainter.h.
#include "FltkPainter.h"

#include "DrawableSigns.h"
#include "FontGlyphs.h"
#include "FormFont.h"

#include <FL/fl_draw.H>

#include <FL/fl_utf8.h>

#include <algorithm>
#include <cstddef>

namespace {

Fl_Color FltkColour(Colour colour) {
    return fl_rgb_color(colour.Red, colour.Green, colour.Blue);
}

// Each character's place in the current font, the text starting at left and sitting on the
// baseline.
std::vector<Rect> CharacterPlaces(const std::string& drawn, int left, int baseline) {
    std::vector<Rect> places;
    const int top = baseline - fl_height() + fl_descent();
    const char* end = drawn.data() + drawn.size();
    for (const char* at = drawn.data(); at < end;) {
        const int length = std::max(1, fl_utf8len1(*at));
        const auto before =
            static_cast<int>(fl_width(drawn.data(), static_cast<int>(at - drawn.data())));
        const auto width = static_cast<int>(
            fl_width(at, static_cast<int>(std::min<std::ptrdiff_t>(length, end - at))));
        places.push_back({left + before, top, width, fl_height()});
        at += length;
    }
    return places;
}

}  // namespace

void FltkPainter::DrawPicture(const Picture& picture, Point topLeft) {
    const auto bytes =
        static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height) * 3;
    // A picture whose pixels do not fill its size would make fl_draw_image read past the end.
    if (picture.Width <= 0 || picture.Height <= 0 || picture.Rgb.size() < bytes) {
        return;
    }
    // Only the part the clip lets through is sent to the X server: a changed label repaints a
    // strip of the skin, not all of it.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    fl_clip_box(topLeft.X, topLeft.Y, picture.Width, picture.Height, left, top, width, height);
    if (width <= 0 || height <= 0) {
        return;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(picture.Width) * 3;
    const std::size_t offset = static_cast<std::size_t>(top - topLeft.Y) * rowBytes +
                               static_cast<std::size_t>(left - topLeft.X) * 3;
    fl_draw_image(picture.Rgb.data() + offset, left, top, width, height, 3,
                  static_cast<int>(rowBytes));
}

int FltkPainter::TextWidth(const std::string& text, int digitHeight) {
    fl_font(FormFontFace, FltkFontSizeForDigits(digitHeight).Size);
    const std::string drawable = WithDrawableSigns(text, CurrentFontHasGlyph);
    return static_cast<int>(fl_width(drawable.c_str(), static_cast<int>(drawable.size())));
}

void FltkPainter::DrawLabel(const std::string& text, const Rect& box, TextAlignment alignment,
                            int digitHeight, std::optional<Colour> colour) {
    const FltkFontSize font = FltkFontSizeForDigits(digitHeight);
    fl_font(FormFontFace, font.Size);
    fl_color(colour ? FltkColour(*colour) : FL_BLACK);
    const std::string drawable = WithDrawableSigns(text, CurrentFontHasGlyph);
    const int length = static_cast<int>(drawable.size());
    const int width = static_cast<int>(fl_width(drawable.c_str(), length));
    // A text still wider than its box at the smallest size keeps its right end when
    // right-aligned and its middle when centred; the clip cuts off the rest.
    const int left = alignment == TextAlignment::Right ? box.Right() - width
                                                       : box.Left + (box.Width - width) / 2;
    // The digits, not the line, stand in the middle: faces differ most in what lies around them.
    const int baseline = box.Top + (box.Height + font.DigitHeight) / 2;
    painted_.Add(text, box, CharacterPlaces(drawable, left, baseline));
    fl_push_clip(box.Left, box.Top, box.Width, box.Height);
    fl_draw(drawable.c_str(), length, left, baseline);
    fl_pop_clip();
}

void FltkPainter::DrawRectangle(const Rect& box, Colour fill, Colour frame, int frameWidth) {
    fl_color(FltkColour(frame));
    fl_rectf(box.Left, box.Top, box.Width, box.Height);
    fl_color(FltkColour(fill));
    fl_rectf(box.Left + frameWidth, box.Top + frameWidth, box.Width - 2 * frameWidth,
             box.Height - 2 * frameWidth);
}
