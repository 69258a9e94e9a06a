// The text is read into its significant digits and a power of ten; only the digits that can
// reach the raw value are ever turned into a number.

#include "AmountParse.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "WideInteger.h"

namespace {

// No 64-bit raw value has more digits than this.
constexpr std::int64_t MaxRawDigits = 19;
// An exponent beyond any text length; larger ones are held at it, which changes no outcome.
constexpr std::int64_t ExponentLimit = 1'000'000'000'000'000;
// Powers of ten from raw units to whole amounts.
constexpr std::int64_t RawDecimals = 4;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

class AmountReader {
public:
    explicit AmountReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return at_ == text_.size(); }
    bool Accept(char c) {
        if (!AtEnd() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool AcceptDigit(char& digit) {
        if (!AtEnd() && IsDigit(text_[at_])) {
            digit = text_[at_++];
            return true;
        }
        return false;
    }
    void SkipBlanks() {
        while (Accept(' ')) {
        }
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// The value of an exponent's digits, held at ExponentLimit.
std::optional<std::int64_t> ReadExponent(AmountReader& reader) {
    const bool negative = reader.Accept('-');
    if (!negative) {
        reader.Accept('+');
    }
    std::int64_t value = 0;
    bool anyDigit = false;
    char digit = 0;
    while (reader.AcceptDigit(digit)) {
        anyDigit = true;
        value = std::min(value * 10 + (digit - '0'), ExponentLimit);
    }
    if (!anyDigit) {
        return std::nullopt;
    }
    return negative ? -value : value;
}

// The magnitude of significant x 10^power rounded half to even to a whole number, or nothing
// when it has more digits than any raw value. The significant digits have no leading or trailing
// zeros.
std::optional<std::uint64_t> RoundedMagnitude(const std::string& significant, std::int64_t power) {
    const auto digitCount = static_cast<std::int64_t>(significant.size());
    const std::int64_t wholeDigits = digitCount + power;
    if (wholeDigits > MaxRawDigits) {
        return std::nullopt;
    }
    if (wholeDigits < 0) {
        return 0;  // below a tenth of a raw unit
    }
    std::uint64_t whole = 0;  // below 10^19, so it fits even after rounding up
    for (std::int64_t i = 0; i < wholeDigits; ++i) {
        const char digit = i < digitCount ? significant[static_cast<std::size_t>(i)] : '0';
        whole = whole * 10 + static_cast<std::uint64_t>(digit - '0');
    }
    if (wholeDigits < digitCount) {
        const char firstDropped = significant[static_cast<std::size_t>(wholeDigits)];
        // The last significant digit is not zero, so any digit after the first dropped one
        // puts the rest strictly above or below a half.
        const bool moreDropped = wholeDigits + 1 < digitCount;
        const bool aboveHalf = firstDropped > '5' || (firstDropped == '5' && moreDropped);
        const bool exactHalf = firstDropped == '5' && !moreDropped;
        if (aboveHalf || (exactHalf && whole % 2 == 1)) {
            ++whole;
        }
    }
    return whole;
}

}  // namespace

std::optional<Currency> ParseAmountText(std::string_view text, char decimalSeparator) {
    AmountReader reader(text);
    reader.SkipBlanks();
    const bool negative = reader.Accept('-');
    if (!negative) {
        reader.Accept('+');
    }

    std::string significant;  // the mantissa's digits without leading zeros
    std::int64_t fractionDigits = 0;
    bool anyMantissa = false;
    bool separatorSeen = false;
    for (;;) {
        char digit = 0;
        if (reader.AcceptDigit(digit)) {
            if (!significant.empty() || digit != '0') {
                significant += digit;
            }
            if (separatorSeen) {
                ++fractionDigits;
            }
        } else if (!separatorSeen && reader.Accept(decimalSeparator)) {
            separatorSeen = true;
        } else {
            break;
        }
        anyMantissa = true;
    }
    if (!anyMantissa) {
        return std::nullopt;
    }

    std::int64_t exponent = 0;
    if (reader.Accept('e') || reader.Accept('E')) {
        const std::optional<std::int64_t> value = ReadExponent(reader);
        if (!value) {
            return std::nullopt;
        }
        exponent = *value;
    }
    reader.SkipBlanks();
    if (!reader.AtEnd()) {
        return std::nullopt;
    }

    if (significant.empty()) {
        return Currency();  // zero, whatever its sign and exponent
    }
    const std::size_t lastNonZero = significant.find_last_not_of('0');
    const auto trailingZeros = static_cast<std::int64_t>(significant.size() - lastNonZero - 1);
    significant.erase(lastNonZero + 1);
    const std::optional<std::uint64_t> magnitude =
        RoundedMagnitude(significant, exponent - fractionDigits + trailingZeros + RawDecimals);
    if (!magnitude) {
        return std::nullopt;
    }
    return Currency::FromWide(WideInteger::FromMagnitude(negative, *magnitude));
}
