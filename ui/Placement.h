#pragma once
// Where the window goes when it is shown: the stored CalcLeft and CalcTop, pulled back from
// beyond the right or bottom edge of the desktop spanning all monitors, or the default place
// (flush with the primary screen's right edge, 100 pixels from its top) when no valid position
// is stored or the window would not overlap any monitor at all.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FormTypes.h"

// The integer value of a stored coordinate: optional leading spaces, then either an optional
// sign and decimal digits within the signed 32-bit range, or, without a sign, "$", "x", "X",
// "0x" or "0X" and at most eight significant hexadecimal digits, read as 32-bit two's
// complement ("$FFFFFFFF" is -1). Anything else, trailing blanks included, is invalid.
std::optional<std::int32_t> TextToInteger(std::string_view text);

inline constexpr int FallbackTop = 100;

// The names of the stored position.
inline const std::vector<std::string> PositionNames{"CalcLeft", "CalcTop"};

// Reads "CalcLeft", then "CalcTop" through readSetting; "CalcTop" is not read when "CalcLeft"
// is invalid.
Point PlaceWindow(const std::function<std::string(const std::string&)>& readSetting,
                  const ScreenLayout& screens, int windowWidth, int windowHeight);
