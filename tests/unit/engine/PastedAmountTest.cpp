// Pasted amounts as bank statements, shops and other locales write them, and the near misses
// that must change nothing.

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "PastedAmount.h"

namespace {

// In UTF-8: U+00A0 no-break space C2 A0, U+202F narrow no-break space E2 80 AF, U+20AC euro sign
// E2 82 AC, U+2212 minus sign E2 88 92, U+2019 right single quotation mark E2 80 99.

struct Case {
    std::string Text;
    char Decimal;
    std::string Thousands;
    std::optional<std::int64_t> Raw;  // nothing: no amount
};

TEST(ReadPastedAmount, TakesAmountsAsPeopleWriteThemAndNothingElse) {
    const std::string de = ".";
    const Case cases[] = {
        // The user's own format, with grouping, currency, sign and blanks.
        {"1.234,56", ',', de, 12345600},
        {"1.234.567,8", ',', de, 12345678000},
        {"12,50 \xE2\x82\xAC", ',', de, 125000},
        {"\xE2\x82\xAC 12,50", ',', de, 125000},
        {"-12,50\xE2\x82\xAC", ',', de, -125000},
        {"\xE2\x82\xAC -12,50", ',', de, -125000},
        {"\xE2\x88\x92"
         "3 EUR",
         ',', de, -30000},
        {"EUR 1.000", ',', de, 10000000},
        {"\xC2\xA0"
         "1\xC2\xA0"
         "234,5\r\n",
         ',', de, 12345000},
        {"+7", ',', de, 70000},
        {",25", ',', de, 2500},
        // A dot is decided by the digits after it when it is not the user's separator.
        {"12.50", ',', de, 125000},
        {"12.5", ',', de, 125000},
        {"1.234", ',', de, 12340000},
        {"1,234", '.', ",", 12340000},
        {"12,50", '.', ",", 125000},
        {"1.234", '.', ",", 12340},
        // Both conventions at once: the later mark separates the decimals.
        {"1,234.56", ',', de, 12345600},
        {"1.234,56", '.', ",", 12345600},
        // Other locales' thousands separators, multibyte included.
        {"1\xE2\x80\xAF"
         "234,5",
         ',', "\xE2\x80\xAF", 12345000},
        {"1'234.5", '.', "'", 12345000},
        {"1\xE2\x80\x99"
         "234.5",
         '.', "\xE2\x80\x99", 12345000},
        {"12,345678", ',', "", 123457},  // half to even beyond the fourth decimal
        // No amount.
        {"1.23,5", ',', de, std::nullopt},
        {"1234.567", ',', de, std::nullopt},
        {"1.234.56", ',', de, std::nullopt},
        {"1,234,5", ',', de, std::nullopt},
        {"1 234.567,8", ',', de, std::nullopt},
        {"1'234", ',', de, std::nullopt},
        {"1  234", ',', de, std::nullopt},
        {"1\n234", ',', de, std::nullopt},
        {"12,", ',', de, std::nullopt},
        {"12,5E2", ',', de, std::nullopt},
        {"12,50 $", ',', de, std::nullopt},
        {"\xE2\x82\xAC 5 EUR", ',', de, std::nullopt},
        {"--5", ',', de, std::nullopt},
        {"12,50-", ',', de, std::nullopt},
        {"zwei", ',', de, std::nullopt},
        {" \xE2\x82\xAC ", ',', de, std::nullopt},
        {"999.999.999.999.999.999", ',', de, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<Currency> amount = ReadPastedAmount(c.Text, c.Decimal, c.Thousands);
        const std::optional<std::int64_t> raw =
            amount ? std::optional<std::int64_t>(amount->Raw()) : std::nullopt;
        EXPECT_EQ(raw, c.Raw) << '"' << c.Text << "\" with '" << c.Decimal << "' and \""
                              << c.Thousands << '"';
    }
}

}  // namespace
