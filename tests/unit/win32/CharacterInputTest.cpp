// WM_CHAR's UTF-16 units become whole typed characters, and only keys pressed without Ctrl (or
// with AltGr) type at all.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CharacterInput.h"

namespace {

std::vector<char32_t> Join(const std::u16string& units) {
    SurrogateJoiner joiner;
    std::vector<char32_t> typed;
    for (const char16_t unit : units) {
        if (const auto character = joiner.Add(static_cast<wchar_t>(unit))) {
            typed.push_back(*character);
        }
    }
    return typed;
}

TEST(SurrogateJoiner, JoinsPairsAndPassesEverythingElseThrough) {
    const struct {
        const char* Description;
        std::u16string Units;
        std::vector<char32_t> Typed;
    } cases[] = {
        {"digits and an umlaut", u"1\u00E42", {U'1', U'\u00E4', U'2'}},
        {"a pair", u"\U0001F600", {U'\U0001F600'}},
        {"a pair between digits",
         u"5\U00010035"
         u"5",
         {U'5', U'\U00010035', U'5'}},
        {"a high half without partner", {0xD83D, u'7'}, {U'7'}},
        {"two high halves, then a low", {0xD83D, 0xD83D, 0xDE00}, {U'\U0001F600'}},
        {"a low half alone", {0xDE00, u'+'}, {char32_t{0xDE00}, U'+'}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Join(c.Units), c.Typed) << c.Description;
    }
}

TEST(IsTypedCharacter, CtrlAloneTypesNothingAltGrDoes) {
    EXPECT_TRUE(IsTypedCharacter(false, false));
    EXPECT_FALSE(IsTypedCharacter(true, false)) << "Ctrl+M must not be Enter";
    EXPECT_TRUE(IsTypedCharacter(true, true)) << "AltGr arrives as Ctrl with Alt";
}

}  // namespace
