// The signs a face without their glyphs draws as look-alikes it has.

#include <gtest/gtest.h>

#include <string>

#include "DrawableSigns.h"

namespace {

TEST(WithDrawableSigns, OnlySignsTheFaceLacksBecomeTheirLookAlikes) {
    const std::string minus = "\xE2\x88\x92";
    const std::string times = "\xC3\x97";
    const std::string divide = "\xC3\xB7";
    auto lacking = [](char32_t missing) {
        return [missing](char32_t character) { return character != missing; };
    };
    EXPECT_EQ(WithDrawableSigns(minus, lacking(U'\u2212')), "\xE2\x80\x93") << "an en dash";
    EXPECT_EQ(WithDrawableSigns(minus, [](char32_t c) { return c < 128; }), "-")
        << "a face without the en dash either";
    EXPECT_EQ(WithDrawableSigns(times, lacking(U'\u00D7')), "x");
    EXPECT_EQ(WithDrawableSigns(divide, lacking(U'\u00F7')), ":");
    EXPECT_EQ(WithDrawableSigns(minus + "5" + minus, lacking(U'\u2212')),
              "\xE2\x80\x93"
              "5\xE2\x80\x93");
    EXPECT_EQ(WithDrawableSigns(times + divide, lacking(U'\u00D7')), "x" + divide)
        << "a sign the face has stays";
    EXPECT_EQ(WithDrawableSigns(minus, [](char32_t) { return true; }), minus);
    int asked = 0;
    EXPECT_EQ(WithDrawableSigns("-12,5", [&](char32_t) { return ++asked, false; }), "-12,5");
    EXPECT_EQ(asked, 0) << "text without those signs asks the face nothing";
}

}  // namespace
