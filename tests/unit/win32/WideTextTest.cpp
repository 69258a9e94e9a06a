// The German texts reach the "W" functions whole: UTF-8 to UTF-16 and back.

#include <gtest/gtest.h>

#include "WideText.h"

namespace {

TEST(WideText, RoundTripsTheProgramsTextsAndReplacesBrokenInput) {
    const std::string texts[] = {"",
                                 "Schlie\xC3\x9F"
                                 "en",
                                 "AC (alles zur\xC3\xBC"
                                 "cksetzen)",
                                 "\xE2\x82\xAC 5", "\xF0\x9F\x98\x80"};
    for (const std::string& text : texts) {
        EXPECT_EQ(Utf8FromWide(WideFromUtf8(text)), text) << text;
    }
    EXPECT_EQ(WideFromUtf8("Schlie\xC3\x9F"
                           "en"),
              L"Schlie\u00DFen");
    EXPECT_EQ(WideFromUtf8("a\xC3"), L"a\uFFFD") << "a cut sequence";
}

}  // namespace
