#pragma once
// An amount as people write it on statements, invoices and web pages, read from pasted text:
// "1.234,56", "12,50 €", "EUR -3", "1 234,56" with no-break spaces, "12.50" where the comma is the
// decimal separator. The rule, as the read-me states it:
//
//   - Blanks (spaces, U+00A0, U+202F, U+2009, tabs, line breaks) around the amount, one
//     currency sign "€" or code "EUR" before or after it, and one leading "-" (or U+2212) or "+"
//     are allowed.
//   - The separators between digits are ".", ",", the user's decimal separator, the locale's
//     thousands separator and single spaces (not tabs or line breaks). Spaces and a thousands
//     separator other than "." or "," only group thousands.
//   - The decimal separator is: the later of "." and "," when both appear; else the user's own
//     when it appears once; else a "." or "," that appears once and is not followed by exactly
//     three digits ("12.50", but "1.234" is 1234). It comes last and only once.
//   - Every other separator groups thousands in its places: one kind only, after one to three
//     digits and then before every further three.
//
// Anything else is no amount. The value is rounded to four decimals half to even, as typed text is.

#include <optional>
#include <string_view>

#include "Currency.h"

// The amount the text shows, or nothing when it is no amount by the rule above or lies outside
// the range. thousandsSeparator is UTF-8 and may be empty.
std::optional<Currency> ReadPastedAmount(std::string_view text, char decimalSeparator,
                                         std::string_view thousandsSeparator);
