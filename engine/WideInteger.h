#pragma once
// Exact signed integers wider than 64 bits, for the intermediate values of amount arithmetic
// (a product of two raw amounts needs up to 127 bits). The 32-bit Windows compiler has no
// 128-bit integer type, so this holds a sign and a two-word magnitude, and it does only what the
// amount operations need: products and sums of 64-bit values, division by a 64-bit value
// truncating toward zero, and the way back to 64 bits when the value fits.

#include <cstdint>
#include <optional>

// The magnitude of a 64-bit value as unsigned, so the most negative value has one too (2^63).
std::uint64_t UnsignedMagnitude(std::int64_t value);

class WideInteger {
public:
    constexpr WideInteger() = default;
    static WideInteger FromInt64(std::int64_t value);
    static WideInteger FromMagnitude(bool negative, std::uint64_t magnitude);

    // The exact product; its magnitude is at most 2^126.
    static WideInteger Product(std::int64_t a, std::int64_t b);

    // Exact while the magnitude of the sum stays below 2^128; a product plus a 64-bit value
    // always does.
    WideInteger Plus(std::int64_t addend) const;

    // The quotient of the magnitudes with the sign applied afterwards, so -7 / 2 is -3.
    // The divisor must not be zero.
    WideInteger DividedBy(std::int64_t divisor) const;

    // The value, or nothing when it lies outside the signed 64-bit range.
    std::optional<std::int64_t> ToInt64() const;

private:
    struct Magnitude {
        std::uint64_t High = 0;
        std::uint64_t Low = 0;
    };

    WideInteger(bool negative, Magnitude magnitude);

    bool negative_ = false;  // never set for zero
    Magnitude magnitude_;
};
