// Schoolbook arithmetic on two 64-bit words; speed does not matter at one operation per key.

#include "WideInteger.h"

#include <limits>

namespace {

constexpr std::uint64_t LowHalfMask = 0xFFFFFFFFu;
constexpr std::uint64_t SignBitMagnitude = std::uint64_t{1} << 63;

}  // namespace

std::uint64_t UnsignedMagnitude(std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    return value < 0 ? std::uint64_t{0} - bits : bits;
}

WideInteger::WideInteger(bool negative, Magnitude magnitude)
    : negative_(negative && (magnitude.High != 0 || magnitude.Low != 0)), magnitude_(magnitude) {}

WideInteger WideInteger::FromInt64(std::int64_t value) {
    return FromMagnitude(value < 0, UnsignedMagnitude(value));
}

WideInteger WideInteger::FromMagnitude(bool negative, std::uint64_t magnitude) {
    return WideInteger(negative, Magnitude{0, magnitude});
}

WideInteger WideInteger::Product(std::int64_t a, std::int64_t b) {
    const std::uint64_t x = UnsignedMagnitude(a);
    const std::uint64_t y = UnsignedMagnitude(b);
    // Four 32 x 32 partial products; none of the sums below can carry out of its word.
    const std::uint64_t xLow = x & LowHalfMask;
    const std::uint64_t xHigh = x >> 32;
    const std::uint64_t yLow = y & LowHalfMask;
    const std::uint64_t yHigh = y >> 32;
    const std::uint64_t lowLow = xLow * yLow;
    const std::uint64_t highLow = xHigh * yLow;
    const std::uint64_t lowHigh = xLow * yHigh;
    const std::uint64_t highHigh = xHigh * yHigh;
    const std::uint64_t middle = (lowLow >> 32) + (highLow & LowHalfMask) + (lowHigh & LowHalfMask);
    Magnitude product;
    product.Low = (middle << 32) | (lowLow & LowHalfMask);
    product.High = highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32);
    return WideInteger((a < 0) != (b < 0), product);
}

WideInteger WideInteger::Plus(std::int64_t addend) const {
    const std::uint64_t other = UnsignedMagnitude(addend);
    const bool otherNegative = addend < 0;
    Magnitude result;
    if (otherNegative == negative_) {
        result.Low = magnitude_.Low + other;
        result.High = magnitude_.High + (result.Low < other ? 1u : 0u);
        return WideInteger(negative_, result);
    }
    // Opposite signs: subtract the smaller magnitude from the larger, which keeps its sign.
    if (magnitude_.High == 0 && magnitude_.Low < other) {
        return WideInteger(otherNegative, Magnitude{0, other - magnitude_.Low});
    }
    result.Low = magnitude_.Low - other;
    result.High = magnitude_.High - (magnitude_.Low < other ? 1u : 0u);
    return WideInteger(negative_, result);
}

WideInteger WideInteger::DividedBy(std::int64_t divisor) const {
    const std::uint64_t d = UnsignedMagnitude(divisor);
    // Long division one bit at a time. The remainder stays below d <= 2^63, so doubling it and
    // bringing down the next bit never leaves 64 bits.
    Magnitude quotient;
    std::uint64_t remainder = 0;
    for (int bit = 127; bit >= 0; --bit) {
        const std::uint64_t word = bit >= 64 ? magnitude_.High : magnitude_.Low;
        const int shift = bit % 64;
        remainder = (remainder << 1) | ((word >> shift) & 1u);
        if (remainder >= d) {
            remainder -= d;
            (bit >= 64 ? quotient.High : quotient.Low) |= std::uint64_t{1} << shift;
        }
    }
    return WideInteger(negative_ != (divisor < 0), quotient);
}

std::optional<std::int64_t> WideInteger::ToInt64() const {
    if (magnitude_.High != 0) {
        return std::nullopt;
    }
    if (!negative_) {
        if (magnitude_.Low > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return std::nullopt;
        }
        return static_cast<std::int64_t>(magnitude_.Low);
    }
    if (magnitude_.Low > SignBitMagnitude) {
        return std::nullopt;
    }
    if (magnitude_.Low == SignBitMagnitude) {
        return std::numeric_limits<std::int64_t>::min();
    }
    return -static_cast<std::int64_t>(magnitude_.Low);
}
