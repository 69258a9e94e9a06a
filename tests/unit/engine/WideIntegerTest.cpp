// The wide intermediates: products across both words, truncating division with every sign, and
// the edges of the 64-bit range on the way back.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "WideInteger.h"

namespace {

constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();

TEST(WideInteger, ProductDividedByAFactorGivesTheOtherFactor) {
    const std::vector<std::int64_t> values = {1,
                                              -1,
                                              2,
                                              3,
                                              -7,
                                              10000,
                                              0xFFFFFFFF,
                                              0x100000000,
                                              -0x123456789ABCDEF,
                                              999999999999999999,
                                              Max,
                                              Min,
                                              Max - 1,
                                              Min + 1,
                                              0x7FFFFFFF00000001};
    for (const std::int64_t a : values) {
        for (const std::int64_t b : values) {
            EXPECT_EQ(WideInteger::Product(a, b).DividedBy(b).ToInt64(), a)
                << a << " x " << b << " : " << b;
            EXPECT_EQ(WideInteger::Product(a, b).DividedBy(a).ToInt64(), b)
                << a << " x " << b << " : " << a;
        }
    }
}

TEST(WideInteger, DivisionTruncatesTowardZero) {
    struct Case {
        std::int64_t dividend;
        std::int64_t divisor;
        std::int64_t quotient;
    };
    const Case cases[] = {
        {7, 2, 3},     {-7, 2, -3},    {7, -2, -3},       {-7, -2, 3},
        {1, 3, 0},     {-1, 3, 0},     {Min, 1, Min},     {Min, Min, 1},
        {Max, Min, 0}, {Min, Max, -1}, {Min, 2, Min / 2}, {Max, 10000, Max / 10000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WideInteger::FromInt64(c.dividend).DividedBy(c.divisor).ToInt64(), c.quotient)
            << c.dividend << " : " << c.divisor;
    }
}

TEST(WideInteger, SumsCrossZeroAndTheWordBoundary) {
    struct Case {
        WideInteger start;
        std::int64_t addend;
        std::optional<std::int64_t> sum;
    };
    const Case cases[] = {
        {WideInteger::FromInt64(5), -8, -3},
        {WideInteger::FromInt64(-5), 8, 3},
        {WideInteger::FromInt64(-5), 5, 0},
        {WideInteger::FromInt64(Min), Max, -1},
        {WideInteger::FromInt64(Max), 1, std::nullopt},
        {WideInteger::FromInt64(Min), -1, std::nullopt},
        // 2^64 - 1 borrows from the high word back into range.
        {WideInteger::Product(Max, 2).Plus(1), Min, Max},
        {WideInteger::Product(Max, -2), Max, -Max},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.start.Plus(c.addend).ToInt64(), c.sum) << "adding " << c.addend;
    }
}

TEST(WideInteger, ConvertsBackOnlyInsideTheRange) {
    constexpr std::uint64_t twoTo63 = std::uint64_t{1} << 63;
    EXPECT_EQ(WideInteger::FromMagnitude(true, twoTo63).ToInt64(), Min) << "-2^63";
    EXPECT_EQ(WideInteger::FromMagnitude(false, twoTo63).ToInt64(), std::nullopt) << "2^63";
    EXPECT_EQ(WideInteger::FromMagnitude(true, twoTo63 + 1).ToInt64(), std::nullopt) << "-2^63-1";
    EXPECT_EQ(WideInteger::FromMagnitude(true, 0).ToInt64(), 0) << "-0";
    EXPECT_EQ(WideInteger::Product(Min, -1).ToInt64(), std::nullopt) << "Min x -1";
    EXPECT_EQ(WideInteger::Product(-3, 0).ToInt64(), 0) << "-3 x 0";
    EXPECT_EQ(UnsignedMagnitude(Min), twoTo63) << "magnitude of Min";
}

}  // namespace
