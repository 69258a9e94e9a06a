// The screen reader's ATK objects on their own, without a bus: what each answers from the
// window, and the signals the bridge would forward, as a reader would hear them.

#include <gtest/gtest.h>

#include <atk/atk.h>

#include <string>
#include <vector>

#include "AccessibleWindow.h"
#include "AtkElements.h"

namespace {

class FakeWindow : public AccessibleWindow {
public:
    std::vector<AccessibleElement> Elements;
    bool IsActive = true;
    std::vector<std::size_t> Pressed;

    std::string Title() override { return "Rechner"; }
    std::size_t ElementCount() override { return Elements.size(); }
    AccessibleElement Element(std::size_t index) override { return Elements.at(index); }
    Rect ScreenBounds() override { return {100, 200, 126, 224}; }
    std::optional<std::size_t> ElementAt(Point) override { return std::nullopt; }
    bool Active() override { return IsActive; }
    void Press(std::size_t index) override { Pressed.push_back(index); }
};

constexpr std::size_t Display = 0;
constexpr std::size_t Entry = 1;
constexpr std::size_t Seven = 2;

// What the bridge would hear, in order: "name:<name>", "remove:<text>", "insert:<text>",
// "state:<state>=<0|1>", "announce:<text>", each with the element's index first.
struct Heard {
    std::vector<std::string> Events;

    void Listen(AtkElementTree& tree) {
        for (std::size_t index = 0; index < tree.ElementCount(); ++index) {
            AtkObject* object = tree.Element(index);
            g_object_set_data(G_OBJECT(object), "index", GSIZE_TO_POINTER(index + 1));
            g_signal_connect(object, "property-change::accessible-name", G_CALLBACK(OnName), this);
            g_signal_connect(object, "state-change", G_CALLBACK(OnState), this);
            if (ATK_IS_TEXT(object)) {
                g_signal_connect(object, "text-remove", G_CALLBACK(OnRemove), this);
                g_signal_connect(object, "text-insert", G_CALLBACK(OnInsert), this);
            }
            if (g_signal_lookup("announcement", ATK_TYPE_OBJECT) != 0) {
                g_signal_connect(object, "announcement", G_CALLBACK(OnAnnouncement), this);
            }
        }
    }

    static std::string Index(gpointer object) {
        return std::to_string(GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(object), "index")) - 1);
    }
    static void OnName(AtkObject* object, gpointer, gpointer heard) {
        // The bridge reads the name as the signal comes, and sends it along.
        static_cast<Heard*>(heard)->Events.push_back(Index(object) +
                                                     " name:" + atk_object_get_name(object));
    }
    static void OnState(AtkObject* object, const gchar* state, gboolean on, gpointer heard) {
        static_cast<Heard*>(heard)->Events.push_back(Index(object) + " state:" + state +
                                                     (on ? "=1" : "=0"));
    }
    static void OnRemove(AtkText* object, gint, gint, const gchar* text, gpointer heard) {
        static_cast<Heard*>(heard)->Events.push_back(Index(object) + " remove:" + text);
    }
    static void OnInsert(AtkText* object, gint, gint, const gchar* text, gpointer heard) {
        static_cast<Heard*>(heard)->Events.push_back(Index(object) + " insert:" + text);
    }
    static void OnAnnouncement(AtkObject* object, const gchar* text, gpointer heard) {
        static_cast<Heard*>(heard)->Events.push_back(Index(object) + " announce:" + text);
    }
};

struct Tree {
    FakeWindow Window;
    std::unique_ptr<AtkElementTree> Objects;
    Heard Signals;

    Tree() {
        Window.Elements = {
            {.Role = AccessibleRole::Display,
             .Name = "0",
             .Description = "Anzeige",
             .Bounds = {14, 43, 92, 33},
             .Focusable = true,
             .Focused = true},
            {.Role = AccessibleRole::StaticText, .Name = "0", .Description = "Eingabe"},
            {.Role = AccessibleRole::PushButton,
             .Name = "Sieben",
             .Bounds = {8, 130, 26, 21},
             .Shortcut = "7",
             .Action = "Dr\xC3\xBC"
                       "cken"},
        };
        Objects = std::make_unique<AtkElementTree>(Window);
        Signals.Listen(*Objects);
    }
    AtkObject* Object(std::size_t index) { return Objects->Element(index); }
    // Shows text on the display and the entry, as a key does, and tells it as the form would:
    // what changed, and the display's announcement.
    void Show(const std::string& text, bool result) {
        const std::string entry = result ? "" : text;
        const bool entryChanged = Window.Elements[Entry].Name != entry;
        const bool displayChanged = Window.Elements[Display].Name != text;
        Window.Elements[Display].Name = text;
        Window.Elements[Display].ShowsResult = result;
        Window.Elements[Entry].Name = entry;
        if (entryChanged) {
            Objects->NameChanged(Entry);
        }
        if (displayChanged) {
            Objects->NameChanged(Display);
        }
        Objects->Announce(Display);
    }
    std::vector<std::string> Take() { return std::exchange(Signals.Events, {}); }
};

using Events = std::vector<std::string>;

TEST(AtkElements, TheDisplayIsReadOnlyTextThatSaysEachResultOnceAndTheTextsAsTheyChange) {
    Tree tree;
    AtkObject* display = tree.Object(Display);
    EXPECT_EQ(atk_object_get_role(display), ATK_ROLE_TEXT);
    EXPECT_STREQ(atk_object_get_name(display), "") << "nothing to say before a result";
    EXPECT_STREQ(atk_object_get_description(display), "Anzeige");
    AtkStateSet* states = atk_object_ref_state_set(display);
    for (const AtkStateType state : {ATK_STATE_FOCUSABLE, ATK_STATE_FOCUSED, ATK_STATE_READ_ONLY}) {
        EXPECT_TRUE(atk_state_set_contains_state(states, state)) << atk_state_type_get_name(state);
    }
    EXPECT_FALSE(atk_state_set_contains_state(states, ATK_STATE_EDITABLE));
    g_object_unref(states);

    // Typing changes the texts, which a reader does not speak, and not the display's name,
    // which it would speak after its own echo of the key.
    tree.Show("7", false);
    EXPECT_EQ(tree.Take(),
              (Events{"1 name:7", "1 remove:0", "1 insert:7", "0 remove:0", "0 insert:7"}));
    gchar* text = atk_text_get_text(ATK_TEXT(display), 0, -1);
    EXPECT_STREQ(text, "7");
    g_free(text);

    // A result is the display's name, told once; an equal result passes through the empty
    // name, which a reader remembers and leaves unsaid, so that it is said again.
    tree.Show("15", true);
    EXPECT_EQ(tree.Take(),
              (Events{"1 name:", "1 remove:7", "0 remove:7", "0 insert:15", "0 name:15"}));
    tree.Show("15", true);
    EXPECT_EQ(tree.Take(), (Events{"0 name:", "0 name:15"}));
    EXPECT_STREQ(atk_object_get_name(display), "15");
    EXPECT_STREQ(atk_object_get_name(display), "15");
    // Typing after a result empties the name again, silently.
    tree.Show("8", false);
    EXPECT_EQ(tree.Take(),
              (Events{"1 name:8", "1 insert:8", "0 name:", "0 remove:15", "0 insert:8"}));

    // Without the focus the name is not presented: where ATK has announcements, the result is
    // announced instead.
    tree.Window.Elements[Display].Focused = false;
    AtkStateSet* inactive = atk_object_ref_state_set(display);
    EXPECT_TRUE(atk_state_set_contains_state(inactive, ATK_STATE_FOCUSABLE));
    EXPECT_FALSE(atk_state_set_contains_state(inactive, ATK_STATE_FOCUSED))
        << "focused because it can take the focus";
    g_object_unref(inactive);
    tree.Show("9", true);
    const Events heard = tree.Take();
    const bool announces = g_signal_lookup("announcement", ATK_TYPE_OBJECT) != 0;
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "0 announce:9"), announces ? 1 : 0);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), "0 name:9"), 1);
}

TEST(AtkElements, KeysHaveTheirKeyboardKeyAndOneActionThatPresses) {
    Tree tree;
    AtkAction* seven = ATK_ACTION(tree.Object(Seven));
    ASSERT_EQ(atk_action_get_n_actions(seven), 1);
    EXPECT_STREQ(atk_action_get_keybinding(seven, 0), "7");
    EXPECT_STREQ(atk_action_get_localized_name(seven, 0),
                 "Dr\xC3\xBC"
                 "cken");
    EXPECT_TRUE(atk_action_do_action(seven, 0));
    EXPECT_FALSE(atk_action_do_action(seven, 1));
    EXPECT_EQ(tree.Window.Pressed, (std::vector<std::size_t>{Seven}));

    // What the window says cannot be pressed has no action.
    tree.Window.Elements[Seven].Action.clear();
    EXPECT_EQ(atk_action_get_n_actions(seven), 0);
    EXPECT_FALSE(atk_action_do_action(seven, 0));
    EXPECT_EQ(tree.Window.Pressed.size(), 1u);
}

// The text is one run: its offsets span the text wherever the offset lies in it, and mark
// nothing beyond it, never left unset.
TEST(AtkElements, TextAttributesSpanTheWholeText) {
    Tree tree;
    tree.Show("12,5", false);
    struct Case {
        gint Offset;
        gint Start;
        gint End;
    };
    for (const Case c :
         {Case{0, 0, 4}, Case{3, 0, 4}, Case{4, 0, 4}, Case{5, -1, -1}, Case{-1, -1, -1}}) {
        for (const std::size_t index : {Display, Entry}) {
            gint start = 12345;
            gint end = 12345;
            AtkAttributeSet* attributes =
                atk_text_get_run_attributes(ATK_TEXT(tree.Object(index)), c.Offset, &start, &end);
            EXPECT_EQ(start, c.Start) << index << " at " << c.Offset;
            EXPECT_EQ(end, c.End) << index << " at " << c.Offset;
            atk_attribute_set_free(attributes);
        }
    }
}

// What a reader reviews by character, word and line, and where it finds it: inside the
// element's place, in reading order.
TEST(AtkElements, TextIsReadByCharacterWordAndLineWithinItsPlace) {
    Tree tree;
    tree.Window.Elements[Entry].Name = "geteilt durch";
    tree.Window.Elements[Entry].Bounds = {94, 43, 80, 17};
    AtkText* text = ATK_TEXT(tree.Object(Entry));
    struct Case {
        gint Offset;
        AtkTextGranularity Granularity;
        const char* Said;
        gint Start;
        gint End;
    };
    for (const Case c : {Case{0, ATK_TEXT_GRANULARITY_CHAR, "g", 0, 1},
                         Case{12, ATK_TEXT_GRANULARITY_CHAR, "h", 12, 13},
                         Case{13, ATK_TEXT_GRANULARITY_CHAR, "", -1, -1},
                         Case{3, ATK_TEXT_GRANULARITY_WORD, "geteilt", 0, 7},
                         Case{9, ATK_TEXT_GRANULARITY_WORD, "durch", 8, 13},
                         Case{13, ATK_TEXT_GRANULARITY_LINE, "geteilt durch", 0, 13},
                         Case{5, ATK_TEXT_GRANULARITY_PARAGRAPH, "geteilt durch", 0, 13},
                         Case{14, ATK_TEXT_GRANULARITY_LINE, "", -1, -1}}) {
        gint start = 12345;
        gint end = 12345;
        gchar* said = atk_text_get_string_at_offset(text, c.Offset, c.Granularity, &start, &end);
        EXPECT_STREQ(said, c.Said) << c.Offset << " by " << c.Granularity;
        EXPECT_EQ(start, c.Start) << c.Offset << " by " << c.Granularity;
        EXPECT_EQ(end, c.End) << c.Offset << " by " << c.Granularity;
        g_free(said);
    }
    // On the screen the element's place starts at the window's 100, 200.
    const Rect place{194, 243, 80, 17};
    gint previousRight = place.Left;
    for (gint offset = 0; offset < 13; ++offset) {
        gint x = 0, y = 0, width = 0, height = 0;
        atk_text_get_character_extents(text, offset, &x, &y, &width, &height, ATK_XY_SCREEN);
        EXPECT_TRUE(width > 0 && x >= previousRight && x + width <= place.Right() &&
                    y == place.Top && height == place.Height)
            << offset << " at " << x << "," << y << " " << width << "x" << height;
        previousRight = x + width;
    }
    EXPECT_EQ(previousRight, place.Right()) << "right-aligned";
}

TEST(AtkElements, OnceTheFormIsGoneEveryObjectIsDefunctAndSaysNothingMore) {
    Tree tree;
    tree.Objects->FormGone();
    const Events heard = tree.Take();
    for (const std::size_t index : {Display, Entry, Seven}) {
        EXPECT_EQ(
            std::count(heard.begin(), heard.end(), std::to_string(index) + " state:defunct=1"), 1)
            << index;
        AtkStateSet* states = atk_object_ref_state_set(tree.Object(index));
        EXPECT_TRUE(atk_state_set_contains_state(states, ATK_STATE_DEFUNCT));
        EXPECT_FALSE(atk_state_set_contains_state(states, ATK_STATE_SHOWING));
        g_object_unref(states);
    }
    tree.Objects->FormGone();
    tree.Show("7", true);
    tree.Objects->Focused(Display);
    EXPECT_EQ(tree.Take(), Events{}) << "told once, and nothing after";
}

}  // namespace
