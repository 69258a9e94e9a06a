// The screen reader's ATK objects on their own, without a bus: what each answers from the
// window, and the signals the bridge would forward, as a reader would hear them.

#include <gtest/gtest.h>

#include <atk/atk.h>

#include <string>
#include <vector>

#include "AccessibleWindow.h"
#include "AnnouncementListeners.h"
#include "AtkElements.h"

namespace {

class FakeWindow : public AccessibleWindow {
public:
    std::vector<AccessibleElement> Elements;
    bool IsActive = true;
    std::vector<std::size_t> Pressed;
    std::vector<Rect> DisplayPainted;

    std::string Title() override { return "Rechner"; }
    std::size_t ElementCount() override { return Elements.size(); }
    AccessibleElement Element(std::size_t index) override { return Elements.at(index); }
    Rect ScreenBounds() override { return {100, 200, 126, 224}; }
    std::optional<std::size_t> ElementAt(Point) override { return std::nullopt; }
    std::vector<Rect> CharacterPlaces(std::size_t index) override {
        return index == 0 ? DisplayPainted : std::vector<Rect>{};
    }
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
            for (const char* said : {"announcement", "notification"}) {
                if (g_signal_lookup(said, ATK_TYPE_OBJECT) != 0) {
                    g_signal_connect(object, said, G_CALLBACK(OnAnnouncement), this);
                }
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
    // Whether the reader listens for announcements.
    bool Announcements = false;
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
    // what changed, and a result to be said.
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
        if (result) {
            Objects->Say(Display, text, Announcements);
        }
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

    // A result passes through the display's name, which empties again at once: a reader
    // says it once, reads the display's number once, and says an equal result again.
    tree.Show("15", true);
    EXPECT_EQ(tree.Take(), (Events{"1 name:", "1 remove:7", "0 remove:7", "0 insert:15",
                                   "0 name:15", "0 name:"}));
    tree.Show("15", true);
    EXPECT_EQ(tree.Take(), (Events{"0 name:15", "0 name:"}));
    EXPECT_STREQ(atk_object_get_name(display), "");
    tree.Show("8", false);
    EXPECT_EQ(tree.Take(), (Events{"1 name:8", "1 insert:8", "0 remove:15", "0 insert:8"}));

    // Without the focus the display states none, though it can take it.
    tree.Window.Elements[Display].Focused = false;
    AtkStateSet* inactive = atk_object_ref_state_set(display);
    EXPECT_TRUE(atk_state_set_contains_state(inactive, ATK_STATE_FOCUSABLE));
    EXPECT_FALSE(atk_state_set_contains_state(inactive, ATK_STATE_FOCUSED))
        << "focused because it can take the focus";
    g_object_unref(inactive);

    // The empty entry is no blank line for a reader reviewing the window.
    tree.Show("9", true);
    AtkStateSet* entry = atk_object_ref_state_set(tree.Object(Entry));
    EXPECT_FALSE(atk_state_set_contains_state(entry, ATK_STATE_SHOWING));
    g_object_unref(entry);
    tree.Take();

    // A reader that listens for announcements is told each result so, equal ones too, and
    // the name stays as it is.
    tree.Announcements = true;
    const bool announces = g_signal_lookup("announcement", ATK_TYPE_OBJECT) != 0 ||
                           g_signal_lookup("notification", ATK_TYPE_OBJECT) != 0;
    for (int time = 0; time < 2; ++time) {
        tree.Show("9", true);
        EXPECT_EQ(tree.Take(), announces ? Events{"0 announce:9"} : Events{}) << time;
    }
}

// Only a registration for announcements themselves counts: a reader that listens to all of an
// object's events may still present only what the focused object's name says.
TEST(AnnouncementListeners, OnlyARegistrationForAnnouncementsCounts) {
    for (const auto& [event, covers] : {std::pair{"object:announcement", true},
                                        {"Object:Announcement:", true},
                                        {"object:", false},
                                        {"object:state-changed", false},
                                        {"window:activate", false},
                                        {"", false}}) {
        EXPECT_EQ(AnnouncementListeners::CoversAnnouncements(event), covers) << event;
    }
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
    // Beside the unit at an offset: the blank between the words belongs to neither.
    struct Beside {
        gint Offset;
        AtkTextBoundary Boundary;
        bool After;
        const char* Said;
        gint Start;
        gint End;
    };
    for (const Beside c : {Beside{9, ATK_TEXT_BOUNDARY_WORD_START, false, "geteilt", 0, 7},
                           Beside{3, ATK_TEXT_BOUNDARY_WORD_START, true, "durch", 8, 13},
                           Beside{7, ATK_TEXT_BOUNDARY_WORD_END, true, "durch", 8, 13},
                           Beside{9, ATK_TEXT_BOUNDARY_WORD_START, true, "", -1, -1},
                           Beside{13, ATK_TEXT_BOUNDARY_CHAR, false, "h", 12, 13},
                           Beside{0, ATK_TEXT_BOUNDARY_CHAR, true, "e", 1, 2},
                           Beside{0, ATK_TEXT_BOUNDARY_CHAR, false, "", -1, -1},
                           Beside{5, ATK_TEXT_BOUNDARY_LINE_START, true, "", -1, -1}}) {
        gint start = 12345;
        gint end = 12345;
        // Readers still ask for these, which ATK keeps only as deprecated calls.
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        gchar* said =
            c.After ? atk_text_get_text_after_offset(text, c.Offset, c.Boundary, &start, &end)
                    : atk_text_get_text_before_offset(text, c.Offset, c.Boundary, &start, &end);
        G_GNUC_END_IGNORE_DEPRECATIONS
        const std::string which = (c.After ? "after " : "before ") + std::to_string(c.Offset);
        EXPECT_STREQ(said, c.Said) << which << " by " << c.Boundary;
        EXPECT_EQ(start, c.Start) << which << " by " << c.Boundary;
        EXPECT_EQ(end, c.End) << which << " by " << c.Boundary;
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

    // Where the window painted the glyphs, that is where they are, in each coordinate system;
    // places that no longer match the text are not taken.
    tree.Window.Elements[Display].Name = "12,5";
    AtkText* display = ATK_TEXT(tree.Object(Display));
    tree.Window.DisplayPainted = {
        {77, 59, 4, 13}, {81, 59, 4, 13}, {85, 59, 2, 13}, {87, 59, 6, 13}};
    struct Glyph {
        gint Offset;
        AtkCoordType Coordinates;
        Rect Place;
    };
    for (const Glyph c :
         {Glyph{0, ATK_XY_WINDOW, {77, 59, 4, 13}}, Glyph{2, ATK_XY_SCREEN, {185, 259, 2, 13}},
          Glyph{3, ATK_XY_SCREEN, {187, 259, 6, 13}}}) {
        gint x = 0, y = 0, width = 0, height = 0;
        atk_text_get_character_extents(display, c.Offset, &x, &y, &width, &height, c.Coordinates);
        EXPECT_EQ((Rect{x, y, width, height}), c.Place) << c.Offset << " in " << c.Coordinates;
    }
    tree.Window.DisplayPainted.pop_back();
    gint x = 0, y = 0, width = 0, height = 0;
    atk_text_get_character_extents(display, 3, &x, &y, &width, &height, ATK_XY_WINDOW);
    EXPECT_EQ(x + width, 14 + 92) << "a share of the place, right-aligned";
}

// Every object's state changes as the bridge hears them, by role and name: the menu's items
// are made while it opens, before anyone could connect to them.
gboolean OnAnyState(GSignalInvocationHint*, guint, const GValue* values, gpointer heard) {
    auto* object = ATK_OBJECT(g_value_get_object(&values[0]));
    static_cast<Events*>(heard)->push_back(
        std::string(atk_role_get_name(atk_object_get_role(object))) + " " +
        atk_object_get_name(object) + " " + g_value_get_string(&values[1]) +
        (g_value_get_boolean(&values[2]) ? "=1" : "=0"));
    return TRUE;
}

TEST(AtkElements, TheOpenMenuIsTheFramesLastChildWithTheFocusOnItsChosenItem) {
    Tree tree;
    Events heard;
    const guint stateChange = g_signal_lookup("state-change", ATK_TYPE_OBJECT);
    const gulong hook = g_signal_add_emission_hook(stateChange, 0, OnAnyState, &heard, nullptr);
    AtkObject* frame = tree.Objects->Frame();
    tree.Objects->MenuShown(
        {"Schlie\xC3\x9F"
         "en"});
    ASSERT_EQ(atk_object_get_n_accessible_children(frame), 4);
    AtkObject* menu = atk_object_ref_accessible_child(frame, 3);
    EXPECT_EQ(atk_object_get_role(menu), ATK_ROLE_POPUP_MENU);
    EXPECT_EQ(atk_object_get_index_in_parent(menu), 3);
    ASSERT_EQ(atk_object_get_n_accessible_children(menu), 1);
    AtkObject* item = atk_object_ref_accessible_child(menu, 0);
    EXPECT_EQ(atk_object_get_role(item), ATK_ROLE_MENU_ITEM);
    EXPECT_EQ(atk_object_get_parent(item), menu);
    AtkStateSet* states = atk_object_ref_state_set(item);
    for (const AtkStateType state : {ATK_STATE_FOCUSED, ATK_STATE_SELECTED, ATK_STATE_SHOWING}) {
        EXPECT_TRUE(atk_state_set_contains_state(states, state)) << atk_state_type_get_name(state);
    }
    g_object_unref(states);
    EXPECT_EQ(heard, (Events{"menu item Schlie\xC3\x9F"
                             "en selected=1",
                             "menu item Schlie\xC3\x9F"
                             "en focused=1"}));
    heard.clear();

    // Closed, the focus is back on the display, and an item a reader still holds is defunct.
    tree.Objects->MenuClosed();
    EXPECT_EQ(heard, (Events{"menu item  focused=0", "text  focused=1"}));
    EXPECT_EQ(atk_object_get_n_accessible_children(frame), 3);
    states = atk_object_ref_state_set(item);
    EXPECT_TRUE(atk_state_set_contains_state(states, ATK_STATE_DEFUNCT));
    g_object_unref(states);
    EXPECT_EQ(atk_object_get_n_accessible_children(menu), 0);
    g_signal_remove_emission_hook(stateChange, hook);
    g_object_unref(item);
    g_object_unref(menu);
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
