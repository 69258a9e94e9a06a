#pragma once
// The calculator's skin, drawn for the exact scale the window has: one design, drawn at run time
// for every factor, never resampled from a picture drawn for another size.
//
// Exactly white pixels are the window's holes that let clicks through. Everything around the
// body, its rounded corners included, is white, and the body's edge is drawn hard, never blended
// toward the white, so no light frame shows on a dark desktop; inside the body not one pixel is
// white.

#include "FormTypes.h"
#include "Picture.h"

// The design's size: the skin at factor 1.
inline constexpr int SkinWidth = 126;
inline constexpr int SkinHeight = 224;

// The skin at factor: RoundedMulDiv(126) × RoundedMulDiv(224) pixels, the display's flat area
// (design columns 24 to 99, rows 40 to 75) in exactly 178, 208, 184 where the labels sit.
Picture DrawSkin(ScaleFactor factor);
