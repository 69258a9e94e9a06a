// The calculator window's messages where no window is needed to decide: which capture change is
// a lost press, which menu item a command names, and which key-downs are shortcuts.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "MessageRules.h"

namespace {

TEST(MessageRules, OnlyACaptureTakenByAnotherWindowIsLost) {
    const struct {
        bool ReleasedByForm, TakenBySameWindow, Lost;
    } cases[] = {
        {false, false, true}, {true, false, false}, {false, true, false}, {true, true, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(IsCaptureLoss(c.ReleasedByForm, c.TakenBySameWindow), c.Lost)
            << "released by the form " << c.ReleasedByForm << ", taken by the window again "
            << c.TakenBySameWindow;
    }
}

TEST(MessageRules, AMenuCommandNamesItsItemAndNothingElseDoes) {
    constexpr std::size_t items = 1;
    EXPECT_EQ(MenuItemIndex(MenuCommand(0), items), 0);
    const struct {
        std::uintptr_t Command;
        const char* Meaning;
    } others[] = {{0, "dismissed"}, {2, "past the last item"}, {UINTPTR_MAX, "no command at all"}};
    for (const auto& other : others) {
        EXPECT_EQ(MenuItemIndex(other.Command, items), -1) << other.Meaning;
    }
}

TEST(MessageRules, TimerIdsAreNeverZeroAndLeadBackToTheirTimer) {
    for (const FormTimer timer : {FormTimer::Close, FormTimer::HintShow, FormTimer::HintHide}) {
        EXPECT_NE(TimerId(timer), 0u);
        EXPECT_EQ(FormTimerOf(TimerId(timer)), timer);
    }
    EXPECT_EQ(FormTimerOf(0), std::nullopt);
    EXPECT_EQ(FormTimerOf(99), std::nullopt) << "another part's timer is not the form's";
}

TEST(MessageRules, ShortcutsAreLettersWithCtrl) {
    EXPECT_EQ(ShortcutLetter('C', true), U'c');
    EXPECT_EQ(ShortcutLetter('V', true), U'v');
    EXPECT_EQ(ShortcutLetter('C', false), std::nullopt) << "without Ctrl";
    for (const std::uintptr_t notALetter :
         {std::uintptr_t{'0'}, std::uintptr_t{'@'}, std::uintptr_t{'['}, std::uintptr_t{0x70}}) {
        EXPECT_EQ(ShortcutLetter(notALetter, true), std::nullopt) << "virtual key " << notALetter;
    }
}

}  // namespace
