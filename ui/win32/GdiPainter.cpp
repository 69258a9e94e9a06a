// Drawing the form with GDI; see GdiPainter.h.
#include "GdiPainter.h"

#include <cstdint>
#include <vector>

#include "DrawableSigns.h"
#include "FontFit.h"
#include "SystemColours.h"
#include "WideText.h"

namespace {

void Fill(HDC dc, const RECT& area, Colour colour) {
    HBRUSH brush = CreateSolidBrush(ColourReference(colour));
    if (brush != nullptr) {
        FillRect(dc, &area, brush);
        DeleteObject(brush);
    }
}

// Whether the font selected into dc has a glyph for the character; a font that cannot say is
// taken to lack it, and gets the plain look-alike.
bool FontHasGlyph(HDC dc, char32_t character) {
    if (character > 0xFFFF) {
        return false;
    }
    const wchar_t unit = static_cast<wchar_t>(character);
    WORD glyph = 0;
    return GetGlyphIndicesW(dc, &unit, 1, &glyph, GGI_MARK_NONEXISTING_GLYPHS) == 1 &&
           glyph != 0xFFFF;
}

LOGFONTW LabelFont(int characterHeight) {
    LOGFONTW font{};
    font.lfHeight = -characterHeight;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = ANSI_CHARSET;
    lstrcpynW(font.lfFaceName, FormFontFace, LF_FACESIZE);
    return font;
}

// The cell, ascent plus descent, of the form font at a character height, measured as the form
// has always measured its "0": in the regular weight of the face the system gives, whose cell is
// the design's 13 pixels at 11 where that face is the design's. A font that cannot be measured
// counts as the design's proportion.
int MeasuredCell(int characterHeight) {
    const int designCell = characterHeight * DesignCellHeight / DesignFaceHeight;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return designCell;
    }
    LOGFONTW font{};
    font.lfHeight = -characterHeight;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, FormFontFace, LF_FACESIZE);
    HFONT created = CreateFontIndirectW(&font);
    const HGDIOBJ previous = SelectObject(screen, created);
    TEXTMETRICW metrics{};
    const bool measured = created != nullptr && GetTextMetricsW(screen, &metrics) != 0;
    SelectObject(screen, previous);
    DeleteObject(created);
    ReleaseDC(nullptr, screen);
    return measured ? static_cast<int>(metrics.tmHeight) : designCell;
}

}  // namespace

LabelFonts::~LabelFonts() {
    for (const auto& [height, font] : fonts_) {
        DeleteObject(font);
    }
}

HFONT LabelFonts::ForHeight(int pixelHeight) {
    if (const auto found = fonts_.find(pixelHeight); found != fonts_.end()) {
        return found->second;
    }
    // The face the system gives for the design's font may have a taller or shorter cell than the
    // design's at the same height: the height is chosen by the cell, so the text fits its labels
    // whichever face it is.
    const int characterHeight = FontSizeForCell(FormFontCell(pixelHeight), MeasuredCell);
    const LOGFONTW font = LabelFont(characterHeight);
    HFONT created = CreateFontIndirectW(&font);
    fonts_.emplace(pixelHeight, created);
    return created;
}

void GdiPainter::DrawPicture(const Picture& picture, Point topLeft) {
    // A device-independent bitmap holds blue, green, red, with each row padded to four bytes.
    const std::size_t stride = (static_cast<std::size_t>(picture.Width) * 3 + 3) & ~std::size_t{3};
    std::vector<std::uint8_t> rows(stride * static_cast<std::size_t>(picture.Height));
    for (int y = 0; y < picture.Height; ++y) {
        const std::uint8_t* source =
            &picture.Rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.Width) * 3];
        std::uint8_t* target = &rows[static_cast<std::size_t>(y) * stride];
        for (int x = 0; x < picture.Width; ++x, source += 3, target += 3) {
            target[0] = source[2];
            target[1] = source[1];
            target[2] = source[0];
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = picture.Width;
    info.bmiHeader.biHeight = -picture.Height;  // top-down, as the picture's rows are
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc_, topLeft.X, topLeft.Y, static_cast<DWORD>(picture.Width),
                      static_cast<DWORD>(picture.Height), 0, 0, 0,
                      static_cast<UINT>(picture.Height), rows.data(), &info, DIB_RGB_COLORS);
}

void GdiPainter::DrawLabel(const std::string& text, const Rect& box, TextAlignment alignment,
                           int fontHeight, std::optional<Colour> colour) {
    RECT area{box.Left, box.Top, box.Right(), box.Bottom()};
    const HGDIOBJ previous = SelectObject(dc_, fonts_.ForHeight(fontHeight));
    const std::wstring wide =
        WideFromUtf8(WithDrawableSigns(text, [&](char32_t c) { return FontHasGlyph(dc_, c); }));
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, colour ? ColourReference(*colour) : GetSysColor(COLOR_WINDOWTEXT));
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX |
                        (alignment == TextAlignment::Right ? DT_RIGHT : DT_CENTER);
    ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &area, format);
    SelectObject(dc_, previous);
}

void GdiPainter::DrawRectangle(const Rect& box, Colour fill, Colour frame, int frameWidth) {
    Fill(dc_, {box.Left, box.Top, box.Right(), box.Bottom()}, frame);
    Fill(dc_,
         {box.Left + frameWidth, box.Top + frameWidth, box.Right() - frameWidth,
          box.Bottom() - frameWidth},
         fill);
}
