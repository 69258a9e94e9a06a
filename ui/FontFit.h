#pragma once
// The choice of a font size by the cell it measures, for faces whose cell at a size is known
// only by drawing: the form font's "0" is to measure the design's cell times the scale,
// whichever face the system gives for the design's font.

#include <functional>

// The design's form font, "MS Sans Serif" 8 point bold: an 11-pixel face whose text "0" has a
// 13-pixel cell at 96 dots per inch.
inline constexpr int DesignFaceHeight = 11;
inline constexpr int DesignCellHeight = 13;

// The cell a form font of the given height in the form's pixels is to measure: the design's
// cell at that font's scale.
inline double FormFontCell(int formFontHeight) {
    return formFontHeight * static_cast<double>(DesignCellHeight) / DesignFaceHeight;
}

// The size whose cell, as cellAt measures it, comes nearest to cell; of two as near, the smaller.
// cellAt grows with the size.
int FontSizeForCell(double cell, const std::function<int(int size)>& cellAt);
