// The skin's design: the body with its lit rim, the brand name, the solar cell, the display in
// its bezel, the groove and the keys with their legends, in painting order.
#include "SkinDrawing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "SkinCanvas.h"

namespace {

constexpr DrawnColour White{255, 255, 255};
constexpr DrawnColour DisplayColour{178, 208, 184};

// The display's flat colour fills these design columns and rows (inclusive).
constexpr int FlatLeft = 24;
constexpr int FlatRight = 99;
constexpr int FlatTop = 40;
constexpr int FlatBottom = 75;

enum class KeyKind { Digit, Operator, Clear };

struct KeyDesign {
    int Left;
    int Top;
    int Width;
    int Height;
    std::string_view Legend;  // in the glyph tables' characters
    KeyKind Kind;
};

constexpr std::array<KeyDesign, 18> Keys{{
    {8, 191, 26, 21, "0", KeyKind::Digit},
    {8, 171, 26, 21, "1", KeyKind::Digit},
    {35, 170, 26, 21, "2", KeyKind::Digit},
    {36, 190, 26, 21, ",", KeyKind::Digit},
    {61, 190, 26, 21, "=", KeyKind::Operator},
    {61, 171, 26, 21, "3", KeyKind::Digit},
    {88, 171, 26, 43, "+", KeyKind::Operator},
    {88, 150, 26, 21, "-", KeyKind::Operator},
    {61, 151, 26, 21, "6", KeyKind::Digit},
    {35, 150, 26, 21, "5", KeyKind::Digit},
    {9, 149, 26, 21, "4", KeyKind::Digit},
    {8, 130, 26, 21, "7", KeyKind::Digit},
    {35, 130, 26, 21, "8", KeyKind::Digit},
    {61, 130, 26, 21, "9", KeyKind::Digit},
    {88, 131, 26, 21, "x", KeyKind::Operator},
    {88, 110, 26, 21, ":", KeyKind::Operator},
    {36, 112, 26, 21, "AC", KeyKind::Clear},
    {9, 112, 26, 21, "C", KeyKind::Clear},
}};

struct KeyColours {
    DrawnColour Face;
    DrawnColour Legend;
};

KeyColours ColoursOf(KeyKind kind) {
    switch (kind) {
        case KeyKind::Operator:
            return {{104, 108, 116}, {244, 244, 240}};
        case KeyKind::Clear:
            return {{38, 96, 172}, {240, 244, 250}};
        case KeyKind::Digit:
            break;
    }
    return {{50, 52, 57}, {236, 236, 232}};
}

// Digits and letters from a 5 × 7 design, drawn bold: thickened by one cell to the right.
constexpr PixelGlyph BoldGlyphs[] = {
    {'0', ".###./#...#/#...#/#...#/#...#/#...#/.###."},
    {'1', "..#../.##../#.#../..#../..#../..#../#####"},
    {'2', ".###./#...#/....#/...#./..#../.#.../#####"},
    {'3', "#####/...#./..#../...#./....#/#...#/.###."},
    {'4', "...#./..##./.#.#./#..#./#####/...#./...#."},
    {'5', "#####/#..../####./....#/....#/#...#/.###."},
    {'6', "..##./.#.../#..../####./#...#/#...#/.###."},
    {'7', "#####/....#/...#./..#../.#.../.#.../.#..."},
    {'8', ".###./#...#/#...#/.###./#...#/#...#/.###."},
    {'9', ".###./#...#/#...#/.####/....#/...#./.##.."},
    {'A', ".###./#...#/#...#/#####/#...#/#...#/#...#"},
    {'C', ".###./#...#/#..../#..../#..../#...#/.###."},
};

// The operator signs, at their final weight.
constexpr PixelGlyph SignGlyphs[] = {
    {'+', "...##.../...##.../...##.../########/########/...##.../...##.../...##..."},
    {'-', "#######/#######"},
    {'x', "#.....#/##...##/.##.##./..###../.##.##./##...##/#.....#"},
    {':', "...##../...##../......./#######/#######/......./...##../...##.."},
    {'=', "#######/#######/......./#######/#######"},
    // Blank rows on top seat the comma low on its key, where a decimal mark belongs.
    {',', "../../../##/##/.#/#."},
};

// The brand name near the top, in a light regular face.
constexpr PixelGlyph BrandGlyphs[] = {
    {'R', "####./#...#/#...#/####./#.#../#..#./#...#"},
    {'e', "...../...../.###./#...#/#####/#..../.###."},
    {'c', "...../...../.####/#..../#..../#..../.####"},
    {'h', "#..../#..../#.##./##..#/#...#/#...#/#...#"},
    {'n', "...../...../#.##./##..#/#...#/#...#/#...#"},
    {'r', "...../...../#.##./##..#/#..../#..../#...."},
};

double Clamped(double value, double low, double high) {
    return value < low ? low : value > high ? high : value;
}

// The design cell a coordinate lies in.
int Cell(double coordinate) {
    return static_cast<int>(std::floor(coordinate + 0.5));
}

// The sign a legend stands for, or null for digits and letters.
const PixelGlyph* SignOf(std::string_view legend) {
    const auto sign = std::ranges::find(SignGlyphs, legend.front(), &PixelGlyph::Character);
    return legend.size() == 1 && sign != std::end(SignGlyphs) ? sign : nullptr;
}

void DrawBody(SkinCanvas& canvas) {
    constexpr DrawnColour top{74, 77, 83};
    constexpr DrawnColour bottom{50, 52, 57};
    // Hard edged: a pixel half white would be neither a hole nor the body, but a light rim on
    // whatever desktop lies behind the window.
    canvas.FillRounded(
        {2.0, 2.0, 120.0, 220.0}, 11.0,
        [&](double, double y, const EdgeDistance& edge) {
            const DrawnColour colour = Mix(top, bottom, Clamped((y - 2) / 218, 0.0, 1.0));
            if (edge.Distance > -2.0) {
                return Lit(colour, edge, 38.0 * Clamped(edge.Distance + 2.0, 0.0, 1.0));
            }
            if (edge.Distance > -3.0) {
                return Lit(colour, edge, -10.0);
            }
            return colour;
        },
        1.0, true);
}

void DrawBrand(SkinCanvas& canvas) {
    canvas.DrawGlyphs("Rechner", BrandGlyphs, 12, 10, {20, 21, 24}, 0.6, false);
    canvas.DrawGlyphs("Rechner", BrandGlyphs, 12, 9, {206, 208, 212}, 1.0, false);
}

void DrawSolarCell(SkinCanvas& canvas) {
    canvas.FillRounded({76.0, 8.0, 112.0, 21.0}, 2.0, [](double, double, const EdgeDistance& edge) {
        return Lit({40, 41, 45}, edge, edge.Distance > -1 ? -30.0 : 0.0);
    });
    for (int index = 0; index < 4; ++index) {
        const double left = 77.5 + index * 8.5;
        canvas.FillRounded(
            {left, 9.5, left + 8.0, 19.5}, 0.8, [](double, double y, const EdgeDistance&) {
                const DrawnColour colour =
                    Mix({86, 60, 50}, {58, 38, 34}, Clamped((y - 9.5) / 10.0, 0.0, 1.0));
                const int row = Cell(y);
                return row == 12 || row == 16 ? Darkened(colour, 0.8) : colour;
            });
    }
}

void DrawDisplay(SkinCanvas& canvas) {
    canvas.FillRounded({10.0, 29.0, 112.0, 87.0}, 4.0,
                       [](double, double, const EdgeDistance& edge) {
                           constexpr DrawnColour bezel{34, 35, 39};
                           return edge.Distance > -1.2 ? Lit(bezel, edge, 26.0) : bezel;
                       });
    constexpr Box glass{13.0, 32.0, 109.0, 84.0};
    canvas.FillRounded(glass, 2.5, [&](double x, double y, const EdgeDistance&) {
        if (FlatLeft <= Cell(x) && Cell(x) <= FlatRight && FlatTop <= Cell(y) &&
            Cell(y) <= FlatBottom) {
            return DisplayColour;
        }
        // How far out towards the bezel the pixel lies, 0 at the flat area and 1 at the rim,
        // measured separately per side because the margins differ.
        const double tx = std::max({(FlatLeft - x) / (FlatLeft - glass.Left),
                                    (x - FlatRight) / (glass.Right - 1 - FlatRight), 0.0});
        const double ty = std::max({(FlatTop - y) / (FlatTop - glass.Top),
                                    (y - FlatBottom) / (glass.Bottom - 1 - FlatBottom), 0.0});
        double t = Clamped(std::sqrt(tx * tx + ty * ty), 0.0, 1.0);
        t = t * t * (3 - 2 * t);
        const DrawnColour colour = Mix(DisplayColour, {124, 150, 130}, 0.75 * t);
        return y < FlatTop ? Darkened(colour, 1.0 - 0.08 * t) : colour;
    });
}

// A fine engraved line between the display and the keys, as moulded cases have.
void DrawGroove(SkinCanvas& canvas) {
    for (int x = 14; x < 108; ++x) {
        const double fade = Clamped(std::min(x - 13, 108 - x) / 6.0, 0.0, 1.0);
        canvas.BlendCell(x, 98, {24, 25, 28}, 0.55 * fade);
        canvas.BlendCell(x, 99, {120, 123, 130}, 0.35 * fade);
    }
}

void DrawKey(SkinCanvas& canvas, const KeyDesign& key) {
    // Not a structured binding: the lambdas below capture the face colour.
    const KeyColours colours = ColoursOf(key.Kind);
    const DrawnColour faceColour = colours.Face;
    const double left = key.Left;
    const double top = key.Top;
    const double right = key.Left + key.Width;
    const double bottom = key.Top + key.Height;
    canvas.FillRounded(
        {left + 0.5, top + 1.5, right - 0.5, bottom + 0.2}, 3.5,
        [](double, double, const EdgeDistance&) {
            return DrawnColour{16, 17, 20};
        },
        0.55);
    const DrawnColour rim = Darkened(faceColour, 0.62);
    canvas.FillRounded({left + 1.0, top + 1.0, right - 1.0, bottom - 1.0}, 3.0,
                       [&](double, double, const EdgeDistance&) { return rim; });
    const Box face{left + 1.0, top + 1.0, right - 1.0, bottom - 3.0};
    const DrawnColour faceTop = Lightened(faceColour, 22.0);
    canvas.FillRounded(face, 3.0, [&](double, double y, const EdgeDistance& edge) {
        const DrawnColour colour =
            Mix(faceTop, faceColour, Clamped((y - face.Top) / (face.Bottom - face.Top), 0.0, 1.0));
        return edge.Distance > -1.0 && edge.NormalY < 0 ? Lightened(colour, 30.0 * -edge.NormalY)
                                                        : colour;
    });

    const PixelGlyph* sign = SignOf(key.Legend);
    const Point size =
        sign ? GlyphSize(sign->Cells) : Point{static_cast<int>(key.Legend.size()) * 7 - 1, 7};
    const int x = static_cast<int>((face.Left + face.Right - size.X) / 2);
    const int y = static_cast<int>((face.Top + face.Bottom - size.Y) / 2);
    const std::span<const PixelGlyph> font =
        sign ? std::span<const PixelGlyph>(SignGlyphs) : std::span<const PixelGlyph>(BoldGlyphs);
    canvas.DrawGlyphs(key.Legend, font, x, y + 1, Darkened(faceColour, 0.45), 0.7, !sign);
    canvas.DrawGlyphs(key.Legend, font, x, y, colours.Legend, 1.0, !sign);
}

}  // namespace

Picture DrawSkin(ScaleFactor factor) {
    SkinCanvas canvas(SkinWidth, SkinHeight, White, factor);
    DrawBody(canvas);
    DrawBrand(canvas);
    DrawSolarCell(canvas);
    DrawDisplay(canvas);
    DrawGroove(canvas);
    for (const KeyDesign& key : Keys) {
        DrawKey(canvas, key);
    }
    return canvas.Quantised();
}
