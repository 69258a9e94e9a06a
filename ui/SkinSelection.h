#pragma once
// Which of the skins drawn for several scales a window of a given size shows. Kept apart from
// the form's other painting so that another face (one drawn from the controls) can stand in for
// the skin without touching the choice.

#include <cstdint>
#include <span>

#include "Picture.h"

// The skin for a picture control of width × height: the file drawn at exactly that size when
// there is one; else the smallest drawn larger in both directions, scaled down, never a smaller
// one scaled up, which would blur every edge; beyond the largest, the largest scaled up. Files
// that are not bitmaps throw PictureFormatError; an empty list or a size below one pixel throws
// std::invalid_argument.
Picture SkinForSize(std::span<const std::span<const std::uint8_t>> bitmapFiles, int width,
                    int height);
