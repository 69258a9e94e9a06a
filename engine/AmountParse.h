#pragma once
// The decimal grammar of amount text, read exactly: blanks, an optional sign, digits with at most
// one decimal separator (a lone separator reads as 0), an optional exponent, blanks. No floating
// point, so a half beyond the fourth decimal rounds to the even neighbour exactly as written, and
// a huge exponent is answered at once. Normalising the text is TextToAmount's job, not this one's.

#include <optional>
#include <string_view>

#include "Currency.h"

// The amount, or nothing when the text does not have the form or its value, rounded to four
// decimals, lies outside the range.
std::optional<Currency> ParseAmountText(std::string_view text, char decimalSeparator);
