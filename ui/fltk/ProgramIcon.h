#pragma once
// The program icon for every window of ours, the message boxes included: the embedded icon file
// as FLTK's default window icon, which becomes _NET_WM_ICON.

#include <cstdint>
#include <vector>

#include "Picture.h"

// The icon's pixels in the byte order FLTK's four-channel images take: red, green, blue, alpha.
std::vector<std::uint8_t> RgbaPixels(const IconImage& icon);

// Decodes the embedded icon; throws PictureFormatError when it is damaged.
void UseProgramIcon();
