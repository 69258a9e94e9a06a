// The display text of any raw amount: it has the shortest exact form and reads back through the
// decimal grammar to the same amount.
//
// Input: eight bytes of raw value (little end first), then one byte picking the separator
// ("." or ";" as themselves, anything else a comma).

#include <cstddef>
#include <cstdint>
#include <string>

#include "AmountParse.h"
#include "AmountText.h"
#include "FuzzRequire.h"

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) {
        return 0;
    }
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        bits |= std::uint64_t{data[i]} << (8 * i);
    }
    const Currency amount = Currency::FromRaw(static_cast<std::int64_t>(bits));
    const char selector = static_cast<char>(data[8]);
    const char separator = selector == '.' || selector == ';' ? selector : ',';
    SetDecimalSeparator(separator);

    const std::string text = CurrencyToText(amount);
    const std::string detail = std::to_string(amount.Raw()) + " -> " + text;
    Require(ParseAmountText(text, separator) == amount, "the text reads back", detail);

    const bool negative = amount.Raw() < 0;
    Require(negative == (text[0] == '-'), "a minus sign exactly for negative amounts", detail);
    const std::string digits = text.substr(negative ? 1 : 0);
    const std::size_t separatorAt = digits.find(separator);
    const std::string whole = digits.substr(0, separatorAt);
    Require(!whole.empty() && (whole == "0" || whole[0] != '0'), "no leading zeros", detail);
    Require(whole.find_first_not_of("0123456789") == std::string::npos, "whole digits only",
            detail);
    if (separatorAt == std::string::npos) {
        Require(amount.Raw() % Currency::Scale == 0, "a fraction is shown", detail);
        return 0;
    }
    const std::string fraction = digits.substr(separatorAt + 1);
    Require(!fraction.empty() && fraction.size() <= 4 && fraction.back() != '0',
            "one to four fraction digits without trailing zeros", detail);
    for (const char c : fraction) {
        Require(IsDigit(c), "fraction digits only", detail);
    }
    return 0;
}
