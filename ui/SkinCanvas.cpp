// The drawing primitives of the skin; see SkinCanvas.h.
#include "SkinCanvas.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

double Clamped(double value, double low, double high) {
    return value < low ? low : value > high ? high : value;
}

// Below 255 in every channel, so no drawn pixel is ever taken for the colour key's holes.
constexpr double BrightestDrawn = 254.0;

}  // namespace

DrawnColour Darkened(DrawnColour colour, double factor) {
    return {Clamped(colour.Red * factor, 0.0, BrightestDrawn),
            Clamped(colour.Green * factor, 0.0, BrightestDrawn),
            Clamped(colour.Blue * factor, 0.0, BrightestDrawn)};
}

DrawnColour Lightened(DrawnColour colour, double amount) {
    return {Clamped(colour.Red + amount, 0.0, BrightestDrawn),
            Clamped(colour.Green + amount, 0.0, BrightestDrawn),
            Clamped(colour.Blue + amount, 0.0, BrightestDrawn)};
}

DrawnColour Lit(DrawnColour colour, const EdgeDistance& edge, double strength) {
    const double facing = -(edge.NormalX * 0.6 + edge.NormalY * 0.8);
    return Lightened(colour, strength * facing);
}

Point GlyphSize(std::string_view cells) {
    const std::size_t width = cells.find('/');
    if (width == std::string_view::npos) {
        return {static_cast<int>(cells.size()), 1};
    }
    return {static_cast<int>(width), static_cast<int>((cells.size() + 1) / (width + 1))};
}

SkinCanvas::SkinCanvas(int designWidth, int designHeight, DrawnColour background,
                       ScaleFactor factor)
    : factor_(factor),
      scale_(static_cast<double>(factor.Numerator) / factor.Denominator),
      width_(Scaled(designWidth)),
      height_(Scaled(designHeight)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), background) {
    designX_.reserve(static_cast<std::size_t>(width_));
    for (int x = 0; x < width_; ++x) {
        designX_.push_back(Design(x));
    }
}

int SkinCanvas::Scaled(int designValue) const {
    return RoundedMulDiv(designValue, factor_.Numerator, factor_.Denominator);
}

void SkinCanvas::BlendCell(int x, int y, DrawnColour colour, double alpha) {
    const int right = Scaled(x + 1);
    const int bottom = Scaled(y + 1);
    for (int py = Scaled(y); py < bottom; ++py) {
        for (int px = Scaled(x); px < right; ++px) {
            BlendPixel(px, py, colour, alpha);
        }
    }
}

void SkinCanvas::DrawGlyphs(std::string_view text, std::span<const PixelGlyph> font, int left,
                            int top, DrawnColour colour, double alpha, bool bold) {
    int x = left;
    for (const char character : text) {
        const auto glyph = std::ranges::find(font, character, &PixelGlyph::Character);
        if (glyph == font.end()) {
            continue;
        }
        int row = 0;
        int column = 0;
        for (const char cell : glyph->Cells) {
            if (cell == '/') {
                ++row;
                column = 0;
                continue;
            }
            if (cell == '#') {
                BlendCell(x + column, top + row, colour, alpha);
                if (bold) {
                    BlendCell(x + column + 1, top + row, colour, alpha);
                }
            }
            ++column;
        }
        x += GlyphSize(glyph->Cells).X + (bold ? 2 : 1);
    }
}

Picture SkinCanvas::Quantised() const {
    Picture picture{width_, height_, std::vector<std::uint8_t>(pixels_.size() * 3)};
    std::uint8_t* out = picture.Rgb.data();
    for (const DrawnColour& pixel : pixels_) {
        *out++ = static_cast<std::uint8_t>(Clamped(pixel.Red, 0.0, 255.0) + 0.5);
        *out++ = static_cast<std::uint8_t>(Clamped(pixel.Green, 0.0, 255.0) + 0.5);
        *out++ = static_cast<std::uint8_t>(Clamped(pixel.Blue, 0.0, 255.0) + 0.5);
    }
    return picture;
}
