// The form font's size mapping; see FormFont.h.
#include "FormFont.h"

#include "Form.h"

#include <cmath>

namespace {

// MS Sans Serif's 11-pixel face and DejaVu Sans Bold's 10-pixel face share the 13-pixel cell.
constexpr int DesignFaceHeight = 11;
constexpr int DejaVuFaceHeight = 10;
constexpr int PointsPerInch = 72;

}  // namespace

int FltkFontSize(int formFontHeight) {
    return RoundedMulDiv(formFontHeight, DejaVuFaceHeight, DesignFaceHeight);
}

int FormFontHeightAt(double dotsPerInch) {
    return RoundedMulDiv(FormFontPoints, static_cast<int>(std::lround(dotsPerInch)), PointsPerInch);
}
