// The wide intermediates: carries between the two words in products, long division and sums.
// Truncation and the range edges are tested through the amount operations that use them.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "WideInteger.h"

namespace {

constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();

TEST(WideInteger, ProductDividedByAFactorGivesTheOtherFactor) {
    // Small values, values with bits in both halves of a word, and the ends of the range.
    const std::int64_t values[] = {1,
                                   -1,
                                   2,
                                   3,
                                   -7,
                                   10000,
                                   0xFFFFFFFF,
                                   0x100000000,
                                   -0x123456789ABCDEF,
                                   0x7FFFFFFF00000001,
                                   999999999999999999,
                                   Max,
                                   Min,
                                   Max - 1,
                                   Min + 1};
    for (const std::int64_t a : values) {
        for (const std::int64_t b : values) {
            EXPECT_EQ(WideInteger::Product(a, b).DividedBy(b).ToInt64(), a)
                << a << " x " << b << " : " << b;
            EXPECT_EQ(WideInteger::Product(a, b).DividedBy(a).ToInt64(), b)
                << a << " x " << b << " : " << a;
        }
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

}  // namespace
