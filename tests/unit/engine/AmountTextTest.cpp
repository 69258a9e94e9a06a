// TextToAmount: normalisation of marks and letters, the exact decimal grammar with exponents and
// rounding half to even, the division by 100 after a removed mark, and the conversion error.

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include "AmountParse.h"
#include "AmountText.h"
#include "ScopedAmountSettings.h"

namespace {

constexpr std::int64_t Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t Min = std::numeric_limits<std::int64_t>::min();

struct Case {
    std::string text;
    std::optional<std::int64_t> raw;  // nothing: the text is rejected
};

std::optional<std::int64_t> RawOf(const std::optional<Currency>& amount) {
    return amount ? std::optional<std::int64_t>(amount->Raw()) : std::nullopt;
}

// TextToAmount as an optional, for tables that mix results and errors.
std::optional<std::int64_t> Convert(const std::string& text) {
    try {
        return TextToAmount(text).Raw();
    } catch (const ConversionError&) {
        return std::nullopt;
    }
}

TEST(ParseAmountText, ReadsTheDecimalGrammar) {
    const Case cases[] = {
        {"7", 70000},
        {"  7  ", 70000},
        {"+7", 70000},
        {"-7", -70000},
        {"1,5", 15000},
        {",5", 5000},
        {"5,", 50000},
        {",", 0},
        {",E5", 0},
        {"-0", 0},
        {std::string(30, '0') + "1", 10000},
        {"0," + std::string(30, '0') + "1", 0},
        {"1E3", 10000000},
        {"1e+3", 10000000},
        {"1E-4", 1},
        {"  -1,5E1  ", -150000},
        {"1" + std::string(30, '0') + "E-30", 10000},
        {"922337203685477,5807", Max},
        {"-922337203685477,5808", Min},
        {"9223372036854775807E-4", Max},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"E5", std::nullopt},
        {"1E", std::nullopt},
        {"1E+", std::nullopt},
        {"1,2,3", std::nullopt},
        {"1 2", std::nullopt},
        {"--1", std::nullopt},
        {"- 1", std::nullopt},
        {"\t1", std::nullopt},
        {"1x", std::nullopt},
        {"1.5", std::nullopt},
        {"922337203685477,5808", std::nullopt},
        {"-922337203685477,5809", std::nullopt},
        {"10000000000000000000000", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RawOf(ParseAmountText(c.text, ',')), c.raw) << "text \"" << c.text << "\"";
    }
}

TEST(ParseAmountText, RoundsHalvesBeyondFourDecimalsToEven) {
    const Case cases[] = {
        {"0,00015", 2},
        {"0,00025", 2},
        {"0,00035", 4},
        {"0,00005", 0},
        {"0,000050000001", 1},
        {"0,00004999999", 0},
        {"-0,00025", -2},
        {"-0,00035", -4},
        {"0,00026", 3},
        {"0,99995", 10000},
        {"25E-5", 2},
        {"922337203685477,58074", Max},
        // Rounds up to 2^63 ten-thousandths, one past the range.
        {"922337203685477,58075", std::nullopt},
        // The even neighbour of the most negative value is the value itself.
        {"-922337203685477,58085", Min},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RawOf(ParseAmountText(c.text, ',')), c.raw) << "text \"" << c.text << "\"";
    }
}

TEST(ParseAmountText, AnswersHugeExponentsAtOnce) {
    const Case cases[] = {
        {"1E999999999", std::nullopt},
        {"0E999999999", 0},
        {"1E-999999999", 0},
        {"1E99999999999999999999999999999", std::nullopt},
        {"0,000E99999999999999999999999999999", 0},
        {"-1E-99999999999999999999999999999", 0},
        {"5E-5", 0},
        {"5E14", 5000000000000000000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RawOf(ParseAmountText(c.text, ',')), c.raw) << "text \"" << c.text << "\"";
    }
}

TEST(TextToAmount, RemovesMarksAndReadsHundredths) {
    const ScopedDecimalSeparator comma(',');
    const Case cases[] = {
        {"12,34", 123400},
        {"1.234,56", 12345600},
        {"1'000.00", 10000000},
        {"12,3", 12300},
        {"5,", 500},
        {"7", 70000},
        {"9", 90000},
        {"o7", 70000},
        {"O", 0},
        {"1,5", 1500},
        {"-1,5", -1500},
        {"0,001", 100},
        {"1,23456", 12345600},
        // Divided by 100 after parsing, truncating: 0.015 / 100 keeps 0.0001 of 0.00015.
        {"1,5E-3", 1},
        {"-1,55E-3", -15},
        {"1.2.3", 12300},
        {"'", std::nullopt},
        {"", std::nullopt},
        {"abc", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Convert(c.text), c.raw) << "text \"" << c.text << "\"";
    }
}

TEST(TextToAmount, KeepsAtMost99CharactersAfterEachMark) {
    const ScopedDecimalSeparator comma(',');
    // The x is the hundredth character after the point and falls away with it.
    const std::string dropped = "0.12" + std::string(97, ' ') + "x";
    EXPECT_EQ(Convert(dropped), 1200) << "text \"" << dropped << "\"";
    const std::string kept = "0.12" + std::string(96, ' ') + "x";
    EXPECT_EQ(Convert(kept), std::nullopt) << "text \"" << kept << "\"";

    // Counted in whole characters: of 100 two-byte letters after the point 99 stay, and the
    // hundredth falls away whole, never half of it.
    const std::string umlauts = [] {
        std::string text;
        for (int i = 0; i < 100; ++i) {
            text += "\xC3\xBC";
        }
        return text;
    }();
    try {
        TextToAmount("." + umlauts);
        ADD_FAILURE() << "a text of letters was accepted";
    } catch (const ConversionError& error) {
        EXPECT_EQ(error.NormalisedText(), umlauts.substr(0, 198));
    }
}

TEST(TextToAmount, ReadsTheCurrentSeparatorWhenItIsNoMark) {
    const ScopedDecimalSeparator semicolon(';');
    EXPECT_EQ(Convert("1;5"), 15000) << "text \"1;5\" with separator ';'";
    EXPECT_EQ(Convert("1,5"), 1500) << "text \"1,5\" with separator ';'";
}

TEST(TextToAmount, ErrorNamesTheNormalisedText) {
    const ScopedDecimalSeparator comma(',');
    const struct {
        const char* text;
        const char* normalised;
    } cases[] = {
        {"abc", "abc"}, {"foo", "f00"}, {"1.2x", "12x"}, {"", ""}, {"1E", "1E"},
    };
    for (const auto& c : cases) {
        try {
            TextToAmount(c.text);
            ADD_FAILURE() << "text \"" << c.text << "\" was accepted";
        } catch (const ConversionError& error) {
            EXPECT_EQ(error.NormalisedText(), c.normalised) << "text \"" << c.text << "\"";
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(c.normalised) + "' is not a valid floating point value")
                << "text \"" << c.text << "\"";
        }
    }
}

TEST(TextToAmount, ShowsNoConversionMessageWhenNormalisingSucceeds) {
    const ScopedDecimalSeparator comma(',');
    int messages = 0;
    const ScopedConversionMessageHook hook([&messages] { ++messages; });
    for (const char* text : {"1.234,56", "o7", "abc", "1E999999999", ""}) {
        Convert(text);
        EXPECT_EQ(messages, 0) << "text \"" << text << "\"";
    }
}

}  // namespace
