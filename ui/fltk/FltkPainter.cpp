// Drawing the skin and the labels with fl_draw; see FltkPainter.h.
#include "FltkPainter.h"

#include "FontGlyphs.h"
#include "FormFont.h"

#include <FL/fl_draw.H>

#include <array>
#include <cstddef>
#include <string_view>

namespace {

Fl_Color FltkColour(Colour colour) {
    return fl_rgb_color(colour.Red, colour.Green, colour.Blue);
}

}  // namespace

std::string WithDrawableSigns(const std::string& text,
                              const std::function<bool(char32_t)>& hasGlyph) {
    struct LookAlike {
        char32_t Character;
        std::string_view Utf8;
    };
    struct Sign {
        LookAlike Sign;
        // In the order tried; the last, plain ASCII, every face has.
        std::array<LookAlike, 2> LookAlikes;
    };
    constexpr std::array<Sign, 3> signs{{
        // The en dash is as wide as the minus sign; a hyphen is half as wide, and hard to see.
        {{U'\u2212', "\xE2\x88\x92"}, {{{U'\u2013', "\xE2\x80\x93"}, {U'-', "-"}}}},
        {{U'\u00D7', "\xC3\x97"}, {{{U'x', "x"}, {U'x', "x"}}}},
        {{U'\u00F7', "\xC3\xB7"}, {{{U':', ":"}, {U':', ":"}}}},
    }};
    std::string drawable = text;
    for (const Sign& sign : signs) {
        std::size_t at = drawable.find(sign.Sign.Utf8);
        if (at == std::string::npos || hasGlyph(sign.Sign.Character)) {
            continue;
        }
        const LookAlike& lookAlike =
            hasGlyph(sign.LookAlikes[0].Character) ? sign.LookAlikes[0] : sign.LookAlikes[1];
        for (; at != std::string::npos; at = drawable.find(sign.Sign.Utf8, at)) {
            drawable.replace(at, sign.Sign.Utf8.size(), lookAlike.Utf8);
        }
    }
    return drawable;
}

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

void FltkPainter::DrawLabel(const std::string& text, const Rect& box, TextAlignment alignment,
                            int fontHeight, std::optional<Colour> colour) {
    fl_font(FormFontFace, FltkFontSize(fontHeight));
    fl_color(colour ? FltkColour(*colour) : FL_BLACK);
    const std::string drawable = WithDrawableSigns(text, CurrentFontHasGlyph);
    const int length = static_cast<int>(drawable.size());
    const int width = static_cast<int>(fl_width(drawable.c_str(), length));
    // A text wider than its box keeps its right end when right-aligned and its middle when
    // centred; the clip cuts off the rest.
    const int left = alignment == TextAlignment::Right ? box.Right() - width
                                                       : box.Left + (box.Width - width) / 2;
    const int baseline = box.Top + (box.Height - fl_height()) / 2 + fl_height() - fl_descent();
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
