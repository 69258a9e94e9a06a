#pragma once
// Amount text both ways: the process-wide decimal separator, the display text of an amount, the
// conversion-message hook and TextToAmount, which reads a text that may carry grouping or
// decimal marks. The platform sets the separator and the window installs the hook; nothing here
// shows anything.

#include <functional>
#include <stdexcept>
#include <string>

#include "Currency.h"

void SetDecimalSeparator(char separator);
char DecimalSeparator();

// The shortest exact decimal form with the current decimal separator: "-12,34", "0,0001", "0".
// No grouping, no exponent, no rounding; the extremes of the range print in full.
std::string CurrencyToText(Currency amount);

// Called when normalising a text fails, which only running out of memory can cause; the
// conversion then carries on with the text as far as it got.
void SetConversionMessageHook(std::function<void()> hook);

// What TextToAmount throws when the normalised text is no amount.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& normalisedText);
    const std::string& NormalisedText() const { return normalisedText_; }

private:
    std::string normalisedText_;
};

// Every "o" or "O" becomes "0"; every ".", "," and "'" is removed, keeping at most 99 characters
// after each; the rest is read by the decimal grammar (AmountParse.h) and, when a mark was
// removed, divided by 100. So "1.234,56" gives 1234.56 and "12,3" gives 1.23.
Currency TextToAmount(const std::string& text);
