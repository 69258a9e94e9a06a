// Which character a locale's decimal-separator text gives the engine.

#include <gtest/gtest.h>

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
