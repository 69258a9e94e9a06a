#pragma once
// The form's painter on a Win32 device context: the skin with SetDIBitsToDevice, the labels with
// DrawTextW in the bold form font, transparent, in the window-text colour unless told another,
// and the rectangles of the high-contrast face with FillRect.

#include <windows.h>

#include <map>

#include "FormBackend.h"

// The bold labels' fonts by the height of their digits, made once and kept for the window's
// life. The face the system gives for the form's face name decides how tall its digits stand at
// a size, so each is measured on the device.
class LabelFonts {
public:
    struct Font {
        HFONT Handle = nullptr;
        int DigitHeight = 0;  // as measured
        int Ascent = 0;
    };

    LabelFonts() = default;
    ~LabelFonts();
    LabelFonts(const LabelFonts&) = delete;
    LabelFonts& operator=(const LabelFonts&) = delete;

    const Font& ForDigitHeight(HDC dc, int digitHeight);

private:
    std::map<int, Font> fonts_;
};

class GdiPainter : public FormPainter {
public:
    GdiPainter(HDC dc, LabelFonts& fonts) : dc_(dc), fonts_(fonts) {}

    void DrawPicture(const Picture& picture, Point topLeft) override;
    void DrawLabel(const std::string& text, const Rect& box, TextAlignment alignment,
                   int digitHeight, std::optional<Colour> colour) override;
    int TextWidth(const std::string& text, int digitHeight) override;
    void DrawRectangle(const Rect& box, Colour fill, Colour frame, int frameWidth) override;

private:
    HDC dc_;
    LabelFonts& fonts_;
};

// The face the form's font asks for; its height is chosen by the cell it measures.
inline constexpr wchar_t FormFontFace[] = L"MS Sans Serif";
