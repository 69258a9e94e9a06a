// Drawing the form with GDI; see GdiPainter.h.
#include "GdiPainter.h"

#include <cstdint>
#include <vector>

#include "DrawableSigns.h"
#include "SystemColours.h"
#include "TextFit.h"
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

std::wstring Drawable(HDC dc, const std::string& text) {
    return WideFromUtf8(WithDrawableSigns(text, [&](char32_t c) { return FontHasGlyph(dc, c); }));
}

HFONT CreateLabelFont(int pixelHeight) {
    LOGFONTW font{};
    font.lfHeight = -pixelHeight;
    font.lfWeight = FW_BOLD;
    font.lfCharSet = ANSI_CHARSET;
    lstrcpynW(font.lfFaceName, FormFontFace, LF_FACESIZE);
    return CreateFontIndirectW(&font);
}

// How tall "0" stands in the font and its ascent. A face without outlines (a bitmap font) tells
// no glyph's ink: there the digits stand about eight ninths of the ascent above its internal
// leading, as in the design's face.
std::pair<int, int> DigitHeightAndAscent(HDC dc, HFONT font) {
    const HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    GLYPHMETRICS glyph{};
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    const DWORD outline = GetGlyphOutlineW(dc, L'0', GGO_METRICS, &glyph, 0, nullptr, &identity);
    SelectObject(dc, previous);
    const int height = outline != GDI_ERROR
                           ? static_cast<int>(glyph.gmBlackBoxY)
                           : MulDiv(metrics.tmAscent - metrics.tmInternalLeading, 8, 9);
    return {height, static_cast<int>(metrics.tmAscent)};
}

}  // namespace

LabelFonts::~LabelFonts() {
    for (const auto& [height, font] : fonts_) {
        DeleteObject(font.Handle);
    }
}

const LabelFonts::Font& LabelFonts::ForDigitHeight(HDC dc, int digitHeight) {
    if (const auto found = fonts_.find(digitHeight); found != fonts_.end()) {
        return found->second;
    }
    const int pixelHeight = SizeNearest(digitHeight, [dc](int size) {
        HFONT candidate = CreateLabelFont(size);
        const int height = DigitHeightAndAscent(dc, candidate).first;
        DeleteObject(candidate);
        return height;
    });
    HFONT created = CreateLabelFont(pixelHeight);
    const auto [height, ascent] = DigitHeightAndAscent(dc, created);
    return fonts_.emplace(digitHeight, Font{created, height, ascent}).first->second;
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
                           int digitHeight, std::optional<Colour> colour) {
    const LabelFonts::Font& font = fonts_.ForDigitHeight(dc_, digitHeight);
    const HGDIOBJ previous = SelectObject(dc_, font.Handle);
    const std::wstring wide = Drawable(dc_, text);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, colour ? ColourReference(*colour) : GetSysColor(COLOR_WINDOWTEXT));
    // The digits, not the line, stand in the middle; the box still clips.
    const int baseline = box.Top + (box.Height + font.DigitHeight) / 2;
    RECT area{box.Left, baseline - font.Ascent, box.Right(), box.Bottom()};
    const HRGN clip = CreateRectRgn(box.Left, box.Top, box.Right(), box.Bottom());
    SaveDC(dc_);
    ExtSelectClipRgn(dc_, clip, RGN_AND);
    const UINT format = DT_SINGLELINE | DT_TOP | DT_NOPREFIX | DT_NOCLIP |
                        (alignment == TextAlignment::Right ? DT_RIGHT : DT_CENTER);
    ::DrawTextW(dc_, wide.c_str(), static_cast<int>(wide.size()), &area, format);
    RestoreDC(dc_, -1);
    DeleteObject(clip);
    SelectObject(dc_, previous);
}

int GdiPainter::TextWidth(const std::string& text, int digitHeight) {
    const HGDIOBJ previous = SelectObject(dc_, fonts_.ForDigitHeight(dc_, digitHeight).Handle);
    const std::wstring wide = Drawable(dc_, text);
    SIZE size{};
    GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc_, previous);
    return static_cast<int>(size.cx);
}

void GdiPainter::DrawRectangle(const Rect& box, Colour fill, Colour frame, int frameWidth) {
    Fill(dc_, {box.Left, box.Top, box.Right(), box.Bottom()}, frame);
    Fill(dc_,
         {box.Left + frameWidth, box.Top + frameWidth, box.Right() - frameWidth,
          box.Bottom() - frameWidth},
         fill);
}
