// Amount arithmetic (exact, truncating toward zero, refusing results outside the range) and the
// display text, extremes included.

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <string>

#include "AmountText.h"
#include "Currency.h"
#include "ScopedAmountSettings.h"

namespace {

constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();

TEST(Currency, FromIntegerScalesByTenThousand) {
    struct Case {
        std::int32_t n;
        std::int64_t raw;
    };
    const Case cases[] = {{0, 0},
                          {1, 10000},
                          {-1, -10000},
                          {std::numeric_limits<std::int32_t>::max(), 21474836470000},
                          {std::numeric_limits<std::int32_t>::min(), -21474836480000}};
    for (const Case& c : cases) {
        EXPECT_EQ(Currency::FromInteger(c.n).Raw(), c.raw) << "from integer " << c.n;
    }
}

TEST(Currency, ArithmeticIsExactAndTruncatesTowardZero) {
    using Operation = std::function<std::optional<Currency>(Currency, Currency)>;
    struct Case {
        const char* name;
        Operation operation;
        std::int64_t a;
        std::int64_t b;
        std::optional<std::int64_t> result;
    };
    const Case cases[] = {
        {"add", Add, 10000, 20000, 30000},
        {"add", Add, Min, Max, -1},
        {"add", Add, Max, 1, std::nullopt},
        {"add", Add, Min, -1, std::nullopt},
        {"subtract", Subtract, 30000, 50000, -20000},
        {"subtract", Subtract, -1, Max, Min},
        {"subtract", Subtract, Min, 0, Min},
        {"subtract", Subtract, 0, Min, std::nullopt},
        {"subtract", Subtract, Max, -1, std::nullopt},
        {"multiply", Multiply, 25000, 5000, 12500},  // 2.5 x 0.5 = 1.25
        {"multiply", Multiply, 1, 1, 0},             // 0.0001 x 0.0001
        {"multiply", Multiply, 5, 5000, 2},          // 0.0005 x 0.5 = 0.00025
        {"multiply", Multiply, -5, 5000, -2},
        {"multiply", Multiply, 999999999990000, 20000, 1999999999980000},
        {"multiply", Multiply, Max, 10000, Max},
        {"multiply", Multiply, Min, 10000, Min},
        {"multiply", Multiply, Max, -10000, -Max},
        {"multiply", Multiply, Min, -10000, std::nullopt},
        {"multiply", Multiply, 1000000000000, 1000000000000, std::nullopt},  // 1e8 x 1e8
        {"divide", Divide, 100000, 40000, 25000},                            // 10 : 4 = 2.5
        {"divide", Divide, -100000, 30000, -33333},                          // -10 : 3 = -3.3333
        {"divide", Divide, 10000, 30000, 3333},
        {"divide", Divide, 20000, 30000, 6666},
        {"divide", Divide, -7, 20000, -3},  // raw -7 by 2: -3, not -4
        {"divide", Divide, 1000000000000000, 30000,
         333333333333333},  // 1e11 : 3, raw x 10^4 > 2^63
        {"divide", Divide, Min, 10000, Min},
        {"divide", Divide, Min, -10000, std::nullopt},
        {"divide", Divide, Max, 1, std::nullopt},
        {"divide", Divide, 10000, 0, std::nullopt},
        {"divide", Divide, 0, 0, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<Currency> result =
            c.operation(Currency::FromRaw(c.a), Currency::FromRaw(c.b));
        const std::optional<std::int64_t> raw =
            result ? std::optional<std::int64_t>(result->Raw()) : std::nullopt;
        EXPECT_EQ(raw, c.result) << c.name << " raw " << c.a << " and raw " << c.b;
    }
}

TEST(CurrencyToText, IsTheShortestExactDecimalForm) {
    const ScopedDecimalSeparator comma(',');
    struct Case {
        std::int64_t raw;
        const char* text;
    };
    const Case cases[] = {
        {0, "0"},
        {50000, "5"},
        {15000, "1,5"},
        {1000, "0,1"},
        {3333, "0,3333"},
        {1, "0,0001"},
        {-1, "-0,0001"},
        {-5000, "-0,5"},
        {-123400, "-12,34"},
        {10500, "1,05"},
        {100000, "10"},
        {10000000000, "1000000"},
        {Max, "922337203685477,5807"},
        {Min, "-922337203685477,5808"},
        {Min + 8, "-922337203685477,58"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CurrencyToText(Currency::FromRaw(c.raw)), c.text) << "raw " << c.raw;
    }
}

TEST(CurrencyToText, FollowsTheCurrentSeparator) {
    const ScopedDecimalSeparator comma(',');
    const Currency oneAndAHalf = Currency::FromRaw(15000);
    EXPECT_EQ(CurrencyToText(oneAndAHalf), "1,5") << "comma";
    SetDecimalSeparator('.');
    EXPECT_EQ(CurrencyToText(oneAndAHalf), "1.5") << "after switching to a point";
}

}  // namespace
