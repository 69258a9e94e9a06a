// FLTK key events to form calls: characters come from the event's text, whole characters only,
// and Ctrl with a letter is a shortcut; nothing is typed while Ctrl or Alt is held.

#include <gtest/gtest.h>

#include <FL/Enumerations.H>

#include <string>
#include <vector>

#include "KeyEventTranslation.h"

namespace {

struct KeyCase {
    std::string Description;
    std::string Text;
    int Key;
    KeyModifiers Modifiers;
    std::optional<char32_t> ShortcutLetter;
    std::vector<char32_t> Typed;
    bool MenuKey = false;
};

// An event the window does not use goes on to FLTK's defaults: modifier and lock keys, and keys
// that type nothing because Ctrl or Alt is held.
void ExpectTranslation(const KeyCase& c) {
    const TranslatedKeyEvent translated = TranslateKeyEvent(c.Text, c.Key, c.Modifiers);
    EXPECT_EQ(translated.ShortcutLetter, c.ShortcutLetter) << c.Description;
    EXPECT_EQ(translated.Typed, c.Typed) << c.Description;
    EXPECT_EQ(translated.MenuKey, c.MenuKey) << c.Description;
    EXPECT_EQ(translated.Used(), c.ShortcutLetter.has_value() || !c.Typed.empty() || c.MenuKey)
        << c.Description;
}

constexpr KeyModifiers NoModifiers{};
constexpr KeyModifiers Shift{.Shift = true};
constexpr KeyModifiers Control{.Control = true};
constexpr KeyModifiers ControlShift{.Shift = true, .Control = true};
constexpr KeyModifiers Alt{.Alt = true};

}  // namespace

TEST(TranslateKeyEvent, TypedCharactersComeFromTheTextNotTheKeyCode) {
    const std::vector<KeyCase> cases = {
        {"star on the 8 key", "*", '8', Shift, std::nullopt, {U'*'}},
        {"main Enter", "\r", FL_Enter, NoModifiers, std::nullopt, {U'\r'}},
        {"keypad Enter", "\r", FL_KP_Enter, NoModifiers, std::nullopt, {U'\r'}},
        {"keypad star", "*", FL_KP + '*', NoModifiers, std::nullopt, {U'*'}},
        {"Escape", "\x1b", FL_Escape, NoModifiers, std::nullopt, {U'\x1b'}},
        {"upper-case X", "X", 'x', Shift, std::nullopt, {U'X'}},
        {"Shift alone", "", FL_Shift_L, Shift, std::nullopt, {}},
        {"NumLock", "", FL_Num_Lock, NoModifiers, std::nullopt, {}},
        {"two characters of one compose", "12", '2', NoModifiers, std::nullopt, {U'1', U'2'}},
    };
    for (const KeyCase& c : cases) {
        ExpectTranslation(c);
    }
}

TEST(TranslateKeyEvent, CtrlWithALetterIsAShortcutAndCtrlOrAltTypeNothing) {
    const std::vector<KeyCase> cases = {
        {"Ctrl+C", "\x03", 'c', Control, U'c', {}},
        {"Ctrl+Shift+V", "\x16", 'v', ControlShift, U'v', {}},
        {"Ctrl+M is no Enter", "\r", 'm', Control, U'm', {}},
        {"c without Ctrl", "c", 'c', NoModifiers, std::nullopt, {U'c'}},
        {"Ctrl with a digit", "1", '1', Control, std::nullopt, {}},
        {"Alt with a digit", "5", '5', Alt, std::nullopt, {}},
        {"Alt with a letter", "c", 'c', Alt, std::nullopt, {}},
        {"AltGr is no Alt", "\xE2\x82\xAC", 'e', NoModifiers, std::nullopt, {U'\u20AC'}},
        {"Ctrl alone", "", FL_Control_L, Control, std::nullopt, {}},
    };
    for (const KeyCase& c : cases) {
        ExpectTranslation(c);
    }
}

// The menu key and Shift+F10 open the menu and type nothing, whatever text the layout gives.
TEST(TranslateKeyEvent, TheMenuKeyAndShiftF10AskForTheMenuOnly) {
    const std::vector<KeyCase> cases = {
        {"menu key", "", FL_Menu, NoModifiers, std::nullopt, {}, true},
        {"menu key with a control character", "\x10", FL_Menu, Shift, std::nullopt, {}, true},
        {"Shift+F10", "", FL_F + 10, Shift, std::nullopt, {}, true},
        {"F10 alone", "", FL_F + 10, NoModifiers, std::nullopt, {}, false},
        {"Ctrl+Shift+F10", "", FL_F + 10, ControlShift, std::nullopt, {}, false},
        {"Shift+F9", "", FL_F + 9, Shift, std::nullopt, {}, false},
    };
    for (const KeyCase& c : cases) {
        ExpectTranslation(c);
    }
}

// A character outside ASCII must never reach the keyboard map as the bytes of its encoding:
// the second byte of "ä" or "€" could otherwise be taken for a key.
TEST(TranslateKeyEvent, ACharacterIsDecodedWholeAndABrokenByteStaysAlone) {
    const std::vector<KeyCase> cases = {
        {"a umlaut", "\xC3\xA4", 0xE4, NoModifiers, std::nullopt, {U'\u00E4'}},
        {"euro sign", "\xE2\x82\xAC", 0x20AC, NoModifiers, std::nullopt, {U'\u20AC'}},
        {"grinning face", "\xF0\x9F\x98\x80", 0, NoModifiers, std::nullopt, {U'\U0001F600'}},
        {"lead byte cut short before a digit",
         "\xC3"
         "5",
         0,
         NoModifiers,
         std::nullopt,
         {U'\u00C3', U'5'}},
        {"stray continuation byte before a plus",
         "\xA4+",
         0,
         NoModifiers,
         std::nullopt,
         {U'\u00A4', U'+'}},
    };
    for (const KeyCase& c : cases) {
        ExpectTranslation(c);
    }
}
