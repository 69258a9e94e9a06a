#pragma once
// The form's painter over fl_draw: valid only inside a window's draw(), where FLTK has made the
// window's buffer current.

#include <functional>
#include <string>

#include "FormBackend.h"

// text with each sign the face has no glyph for (hasGlyph says which it has) written as a
// look-alike it has: "−" as "–" or else "-", "×" as "x", "÷" as ":". A face without them would
// show empty boxes on the keys of the high-contrast face.
std::string WithDrawableSigns(const std::string& text,
                              const std::function<bool(char32_t)>& hasGlyph);

class FltkPainter : public FormPainter {
public:
    void DrawPicture(const Picture& picture, Point topLeft) override;
    void DrawLabel(const std::string& text, const Rect& box, TextAlignment alignment,
                   int fontHeight, std::optional<Colour> colour) override;
    void DrawRectangle(const Rect& box, Colour fill, Colour frame, int frameWidth) override;
};
