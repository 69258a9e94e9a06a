#pragma once
// The form's painter over fl_draw: valid only inside a window's draw(), where FLTK has made the
// window's buffer current.

#include "FormBackend.h"
#include "PaintedTexts.h"

class FltkPainter : public FormPainter {
public:
    // Each label's characters are recorded in painted where they are drawn.
    explicit FltkPainter(PaintedTexts& painted) : painted_(painted) {}

    void DrawPicture(const Picture& picture, Point topLeft) override;
    void DrawLabel(const std::string& text, const Rect& box, TextAlignment alignment,
                   int digitHeight, std::optional<Colour> colour) override;
    int TextWidth(const std::string& text, int digitHeight) override;
    void DrawRectangle(const Rect& box, Colour fill, Colour frame, int frameWidth) override;

private:
    PaintedTexts& painted_;
};
