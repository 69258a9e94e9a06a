#pragma once
// A picture drawn from design coordinates at any scale factor: filled rounded rectangles whose
// anti-aliased edges are one pixel wide at every scale, and design pixels (a glyph's cell, a
// line) that cover the whole picture pixels their edges round to, so legends stay sharp at any
// factor instead of being resampled from a picture drawn for another size.
//
// Only +, -, *, / and sqrt on doubles are used, whose results IEEE 754 fixes, so every build on
// every machine draws the same bytes.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "FormTypes.h"
#include "Picture.h"

// A colour while it is drawn: channels from 0 to 255 as doubles, so blends do not round twice.
struct DrawnColour {
    double Red = 0;
    double Green = 0;
    double Blue = 0;
};

inline DrawnColour Mix(DrawnColour a, DrawnColour b, double t) {
    return {a.Red + (b.Red - a.Red) * t, a.Green + (b.Green - a.Green) * t,
            a.Blue + (b.Blue - a.Blue) * t};
}
// Every channel times factor, kept below the colour key's 255.
DrawnColour Darkened(DrawnColour colour, double factor);
// Every channel plus amount (negative darkens), kept below the colour key's 255.
DrawnColour Lightened(DrawnColour colour, double amount);

// A rectangle in continuous coordinates: left, top, right and bottom edges.
struct Box {
    double Left = 0;
    double Top = 0;
    double Right = 0;
    double Bottom = 0;
};

// Where a point lies against a rounded rectangle: its signed distance (negative inside) and the
// outward normal there.
struct EdgeDistance {
    double Distance = 0;
    double NormalX = 0;
    double NormalY = 0;
};

// Inline: it runs for every pixel of every shape.
inline EdgeDistance RoundedBoxDistance(double x, double y, const Box& box, double radius) {
    const double dx = x - (box.Left + box.Right) / 2;
    const double dy = y - (box.Top + box.Bottom) / 2;
    const double qx = (dx >= 0 ? dx : -dx) - ((box.Right - box.Left) / 2 - radius);
    const double qy = (dy >= 0 ? dy : -dy) - ((box.Bottom - box.Top) / 2 - radius);
    const double sx = dx >= 0 ? 1.0 : -1.0;
    const double sy = dy >= 0 ? 1.0 : -1.0;
    if (qx > 0 && qy > 0) {
        const double length = std::sqrt(qx * qx + qy * qy);
        return {length - radius, sx * qx / length, sy * qy / length};
    }
    if (qx > qy) {
        return {qx - radius, sx, 0.0};
    }
    return {qy - radius, 0.0, sy};
}

// A rim lit from the top left: edges facing up or left brighten by up to strength, the others
// darken.
DrawnColour Lit(DrawnColour colour, const EdgeDistance& edge, double strength);

// One glyph of a pixel font: its rows of cells, '#' set and '.' clear, separated by '/'.
struct PixelGlyph {
    char Character = 0;
    std::string_view Cells;
};

// The width and height in cells of a glyph's rows.
Point GlyphSize(std::string_view cells);

class SkinCanvas {
public:
    // A design of designWidth × designHeight drawn at factor, filled with background.
    SkinCanvas(int designWidth, int designHeight, DrawnColour background, ScaleFactor factor);

    // A design coordinate's picture pixel, rounded half up as the form rounds control edges.
    int Scaled(int designValue) const;

    // Blends colour over the picture pixels that design pixel x, y covers.
    void BlendCell(int x, int y, DrawnColour colour, double alpha);

    // Fills a rounded rectangle of the design with anti-aliased edges, or with hard ones that take
    // a pixel whole when its centre lies inside. paint(x, y, edge) gives each pixel's colour from
    // its centre in design coordinates and its edge distance in design pixels.
    template <typename PaintAt>
    void FillRounded(const Box& box, double radius, PaintAt paint, double opacity = 1.0,
                     bool hard = false) {
        // Copied to locals: the pixels are doubles too, so the compiler could not otherwise
        // keep them out of the loop.
        const double scale = scale_;
        const int width = width_;
        DrawnColour* const pixels = pixels_.data();
        const double* const designX = designX_.data();
        const Box outline{box.Left * scale, box.Top * scale, box.Right * scale, box.Bottom * scale};
        const double pictureRadius = radius * scale;
        const int top = std::max(static_cast<int>(outline.Top) - 1, 0);
        const int bottom = std::min(static_cast<int>(outline.Bottom) + 2, height_);
        const int left = std::max(static_cast<int>(outline.Left) - 1, 0);
        const int right = std::min(static_cast<int>(outline.Right) + 2, width);
        for (int y = top; y < bottom; ++y) {
            const double designY = (y + 0.5) / scale - 0.5;
            DrawnColour* const row = pixels + static_cast<std::ptrdiff_t>(y) * width;
            for (int x = left; x < right; ++x) {
                const EdgeDistance edge =
                    RoundedBoxDistance(x + 0.5, y + 0.5, outline, pictureRadius);
                const double soft = 0.5 - edge.Distance;
                const double coverage = hard         ? (edge.Distance <= 0.0 ? 1.0 : 0.0)
                                        : soft < 0.0 ? 0.0
                                        : soft > 1.0 ? 1.0
                                                     : soft;
                if (coverage > 0) {
                    const EdgeDistance designEdge{edge.Distance / scale, edge.NormalX,
                                                  edge.NormalY};
                    const double alpha = coverage * opacity;
                    row[x] = Mix(row[x], paint(designX[x], designY, designEdge),
                                 alpha < 1.0 ? alpha : 1.0);
                }
            }
        }
    }

    // Draws text in a pixel font from its top left cell; bold thickens each cell by one to the
    // right and sets the glyphs a cell further apart.
    void DrawGlyphs(std::string_view text, std::span<const PixelGlyph> font, int left, int top,
                    DrawnColour colour, double alpha, bool bold);

    // The picture, each channel rounded to a byte.
    Picture Quantised() const;

private:
    // The design coordinate of a pixel's centre, a whole number at factor 1.
    double Design(int pixel) const { return (pixel + 0.5) / scale_ - 0.5; }
    void BlendPixel(int x, int y, DrawnColour colour, double alpha) {
        if (x >= 0 && x < width_ && y >= 0 && y < height_ && alpha > 0) {
            DrawnColour& pixel = pixels_[static_cast<std::size_t>(y * width_ + x)];
            pixel = Mix(pixel, colour, alpha < 1.0 ? alpha : 1.0);
        }
    }

    ScaleFactor factor_;
    double scale_;
    int width_;
    int height_;
    std::vector<DrawnColour> pixels_;
    std::vector<double> designX_;  // Design(x) of every column, worked out once
};
