// Which character a locale's decimal-separator text gives the engine.

#include <gtest/gtest.h>

#include <string>

#include "DecimalSeparatorText.h"

TEST(DecimalSeparatorFromText, TakesAVisibleAsciiFirstCharacterElsePoint) {
    struct Case {
        const char* Text;
        char Separator;
    };
    const Case cases[] = {
        {",", ','},
        {".", '.'},
        {",x", ','},
        {"'", '\''},
        {"", '.'},
        {nullptr, '.'},
        {" ", '.'},
        {"\t", '.'},
        {"\x7f", '.'},
        {"\xd9\xab", '.'},      // Arabic decimal separator in UTF-8
        {"\xe2\x80\xaf", '.'},  // narrow no-break space in UTF-8
        {"\xa0", '.'},          // no-break space in a single-byte code page
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DecimalSeparatorFromText(c.Text), c.Separator)
            << "locale text \"" << (c.Text != nullptr ? c.Text : "(null)") << "\"";
    }
}

TEST(ThousandsSeparatorFromText, KeepsOneUtf8CharacterThatIsNoDigit) {
    struct Case {
        const char* Text;
        std::string Separator;
    };
    const Case cases[] = {
        {".", "."},
        {"'", "'"},
        {"\xe2\x80\xaf", "\xe2\x80\xaf"},  // narrow no-break space in UTF-8
        {"\xe2\x80\x99", "\xe2\x80\x99"},  // right single quotation mark in UTF-8
        {"", ""},
        {nullptr, ""},
        {"5", ""},
        {"\x01", ""},
        {"\xa0", ""},           // no-break space in a single-byte code page
        {"\xe2\x80", ""},       // cut short
        {"\xe2\x80\xaf.", ""},  // two characters
        {"\xc2\xa0\x80", ""},   // a stray continuation byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ThousandsSeparatorFromText(c.Text), c.Separator)
            << "locale text \"" << (c.Text != nullptr ? c.Text : "(null)") << "\"";
    }
}
