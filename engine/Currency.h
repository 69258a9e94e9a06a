#pragma once
// The amount type: a signed 64-bit count of ten-thousandths, so every amount has exactly four
// decimals. Its arithmetic is exact up to the final truncation toward zero and refuses results
// outside the range instead of wrapping. No floating point, no locale, no text: the display text
// and its decimal separator live in AmountText.h.

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

class WideInteger;

class Currency {
public:
    static constexpr std::int64_t Scale = 10000;  // raw units per whole amount

    constexpr Currency() = default;
    static constexpr Currency FromRaw(std::int64_t raw) { return Currency(raw); }
    static Currency FromInteger(std::int32_t n);
    // The amount of an exact intermediate raw count, or nothing when it lies outside the range.
    static std::optional<Currency> FromWide(const WideInteger& raw);

    constexpr std::int64_t Raw() const { return raw_; }

    friend constexpr auto operator<=>(Currency, Currency) = default;

private:
    constexpr explicit Currency(std::int64_t raw) : raw_(raw) {}

    std::int64_t raw_ = 0;
};

// Each operation returns nothing when its result lies outside the range; intermediate products
// are formed exactly, so every result that fits is right. Multiply and Divide truncate toward
// zero: 1 : 3 gives 0.3333 and -10 : 3 gives -3.3333. Divide by zero returns nothing too.
std::optional<Currency> Add(Currency a, Currency b);
std::optional<Currency> Subtract(Currency a, Currency b);
std::optional<Currency> Multiply(Currency a, Currency b);
std::optional<Currency> Divide(Currency a, Currency b);
