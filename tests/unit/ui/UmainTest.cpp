// The calculator window as a whole, without a display: its tables, clicks and keys through the
// engine, dragging with the stored position, placement at show, opacity, the close poll and
// copying the display.

#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "AmountText.h"
#include "KeyboardMap.h"
#include "Placement.h"
#include "RecordingBackend.h"
#include "RecordingPainter.h"
#include "Settings.h"
#include "SettingsPrefetch.h"
#include "SpokenMessages.h"
#include "Umain.h"

namespace {

class MemoryRegistry : public RegistryKeyStore {
public:
    std::map<std::string, std::string> Values;
    std::string ReadString(const std::string& name) override {
        const auto found = Values.find(name);
        return found == Values.end() ? "" : found->second;
    }
    void WriteStrings(const SettingValues& values) override {
        for (const auto& [name, value] : values) {
            Values[name] = value;
        }
    }
};

class MemoryProfile : public ProfileStore {
public:
    std::map<std::string, std::string> Values;  // entries of the one section the window uses
    std::string ReadString(const std::string&, const std::string& name,
                           const std::string& defaultValue, std::size_t) override {
        const auto found = Values.find(name);
        return found == Values.end() ? defaultValue : found->second;
    }
    void WriteStrings(const std::string&, const SettingValues& values) override {
        for (const auto& [name, value] : values) {
            Values[name] = value;
        }
    }
};

// A legacy file too large to read quickly: its reads wait until the test lets them go.
class SlowProfile : public MemoryProfile {
public:
    bool ReadsQuickly() override { return false; }
    std::string ReadString(const std::string& section, const std::string& name,
                           const std::string& defaultValue, std::size_t bufferSize) override {
        std::unique_lock<std::mutex> lock(mutex_);
        let_.wait(lock, [this] { return going_; });
        return MemoryProfile::ReadString(section, name, defaultValue, bufferSize);
    }
    void LetGo() {
        const std::lock_guard<std::mutex> guard(mutex_);
        going_ = true;
        let_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable let_;
    bool going_ = false;
};

struct Window {
    RecordingBackend Backend;
    MemoryRegistry Registry;
    MemoryProfile Profile;
    SettingsStore Settings{Registry, Profile};
    bool CloseSignal = false;
    char UserSeparator = ',';
    std::string UserThousands = ".";
    TfrmMain Frm{Backend,
                 {Settings, [this] { return CloseSignal; }, [this] { return UserSeparator; },
                  [this] { return UserThousands; }}};

    Window() { SetDecimalSeparator(','); }
    Form& TheForm() { return Frm.GetForm(); }
    const std::string& Caption(const std::string& label) {
        return TheForm().ControlNamed(label).Caption;
    }
    // Last number, operator and entry as one text, the way the display reads.
    std::string Display() {
        return Caption("lblRechnerLetzteZahl") + "|" + Caption("lblRechnerOperant") + "|" +
               Caption("lblRechner");
    }
    Point Centre(const std::string& control) {
        const Rect& r = TheForm().ControlNamed(control).Bounds;
        return {r.Left + r.Width / 2, r.Top + r.Height / 2};
    }
    void Click(Point p) {
        TheForm().MouseDown(MouseButton::Left, p);
        TheForm().MouseUp(MouseButton::Left, p);
    }
    void Type(const std::u32string& text) {
        for (char32_t c : text) {
            TheForm().CharTyped(c);
        }
    }
};

TEST(TfrmMainTables, ControlsAndKeySurfacesAreAsDesigned) {
    Window w;
    const std::vector<Control>& controls = w.TheForm().Controls();
    ASSERT_EQ(controls.size(), 23u) << "skin, body, 18 keys and three labels";
    EXPECT_EQ(controls.front().Name, "Image7");
    EXPECT_EQ(controls.front().Bounds, (Rect{0, 0, 126, 224}));
    EXPECT_EQ(controls[1].Name, "Image1");
    EXPECT_EQ(controls[1].Bounds, (Rect{0, 0, 129, 225}));
    EXPECT_EQ(controls[1].Hint, "hier klicken und \"ziehen\" zum Verschieben");
    EXPECT_EQ(controls.back().Name, "lblRechnerOperant");
    EXPECT_EQ(w.Backend.ClientWidth, 126);
    EXPECT_EQ(w.Backend.ClientHeight, 224);
    EXPECT_EQ(w.TheForm().Title(), "Rechner");
    EXPECT_EQ(w.Display(), "| |0") << "initial captions";
    for (std::size_t i = 2; i < 20; ++i) {
        EXPECT_EQ(controls[i].ControlCursor, PointerShape::Hand) << controls[i].Name;
        EXPECT_TRUE(controls[i].HasPopupMenu) << controls[i].Name;
        EXPECT_EQ(controls[i].Bounds.Width, 26) << controls[i].Name;
    }
    EXPECT_EQ(w.TheForm().ControlNamed("Image24").Bounds.Height, 43) << "the tall plus key";
    EXPECT_EQ(w.TheForm().ControlNamed("Image22").Hint,
              "AC (alles zur\xC3\xBC"
              "cksetzen oder Taste ESC)");
    EXPECT_EQ(w.TheForm().ControlNamed("lblRechnerOperant").ControlCursor, PointerShape::Arrow);
    EXPECT_FALSE(w.TheForm().ControlNamed("lblRechnerOperant").HasPopupMenu);
}

TEST(TfrmMainClicks, EveryKeySurfaceEntersItsKey) {
    const std::pair<std::string, std::string> surfaces[] = {
        {"Image10", "0"}, {"img1", "1"},    {"Img2", "2"},    {"Image9", "3"},  {"Image16", "4"},
        {"Image15", "5"}, {"Image14", "6"}, {"Image20", "7"}, {"Image19", "8"}, {"Image18", "9"}};
    for (const auto& [surface, digit] : surfaces) {
        Window w;
        w.Click(w.Centre("Image23"));  // C: the entry is 0 either way
        w.Click(w.Centre("img1"));
        w.Click(w.Centre(surface));
        EXPECT_EQ(w.Caption("lblRechner"), "1" + digit) << "clicked 1 then " << surface;
    }
    Window w;
    for (const char* surface : {"img1", "Image11", "Image15", "Image17", "Img2", "Image24",
                                "Image9", "Image13", "img1", "Image21", "Image16", "Image12"}) {
        w.Click(w.Centre(surface));
    }
    EXPECT_EQ(w.Display(), "1,25|=|") << "1,5 x 2 + 3 - 1 : 4 =";
    w.Click(w.Centre("Image22"));
    EXPECT_EQ(w.Display(), "||0") << "AC";
}

TEST(TfrmMainClicks, OverlappingRowGoesToTheLaterSurface) {
    Window w;
    w.Click({20, 191});  // Image10 (0) and img1 (1) share row 191
    EXPECT_EQ(w.Caption("lblRechner"), "1");
    w.Click({20, 195});
    EXPECT_EQ(w.Caption("lblRechner"), "10");
}

TEST(TfrmMainClicks, QuickRepeatedClicksEachEnterTheKey) {
    Window w;
    w.Click(w.Centre("img1"));
    w.Click(w.Centre("img1"));
    EXPECT_EQ(w.Caption("lblRechner"), "11") << "a double-click is two presses of 1";
}

TEST(TfrmMainClicks, BodyAndOperatorLabelComputeNothing) {
    Window w;
    w.Click({120, 20});  // the body
    w.Click(w.Centre("lblRechnerOperant"));
    EXPECT_EQ(w.Display(), "| |0");
    EXPECT_FALSE(w.Frm.Dragging);
}

TEST(TfrmMainMenu, RightClickOffersSchliessenWhichCloses) {
    for (const char* control : {"Image20", "Image1", "lblRechner", "lblRechnerLetzteZahl"}) {
        Window w;
        w.Backend.PopupChoice = 0;
        const Point p = control == std::string("Image1") ? Point{120, 20} : w.Centre(control);
        w.TheForm().MouseDown(MouseButton::Right, p);
        w.TheForm().MouseUp(MouseButton::Right, p);
        EXPECT_EQ(w.Backend.Menus.back(), (std::vector<std::string>{"Schlie\xC3\x9F"
                                                                    "en"}))
            << control;
        EXPECT_EQ(w.Backend.Closes, 1) << control;
    }
    Window w;
    w.TheForm().MouseUp(MouseButton::Right, w.Centre("lblRechnerOperant"));
    EXPECT_TRUE(w.Backend.Menus.empty()) << "the operator label has no menu";
}

TEST(TfrmMainDrag, BodyAndDisplayDragTheWindowAndEveryReleaseStoresIt) {
    for (const char* control : {"Image1", "lblRechner", "lblRechnerLetzteZahl"}) {
        Window w;
        w.Backend.Position = {500, 300};
        const Rect& r = w.TheForm().ControlNamed(control).Bounds;
        const Point press{r.Left + 5, r.Top + 6};
        w.TheForm().MouseDown(MouseButton::Left, press);
        EXPECT_TRUE(w.Frm.Dragging);
        EXPECT_EQ(w.Frm.DragStartX, 5);
        EXPECT_EQ(w.Frm.DragStartY, 6);
        // The pointer moves by (+30, -20); in client coordinates of the not yet moved window.
        w.TheForm().MouseMove({press.X + 30, press.Y - 20});
        EXPECT_EQ(w.Backend.Position, (Point{530, 280})) << control;
        // The window followed, so the pointer is back over the pressed point.
        w.TheForm().MouseMove(press);
        EXPECT_EQ(w.Backend.Position, (Point{530, 280})) << control;
        w.TheForm().MouseUp(MouseButton::Left, press);
        EXPECT_FALSE(w.Frm.Dragging);
        EXPECT_EQ(w.Registry.Values["CalcLeft"], "530") << control;
        EXPECT_EQ(w.Registry.Values["CalcTop"], "280") << control;
        EXPECT_EQ(w.Profile.Values["CalcTop"], "280") << control;
    }
}

TEST(TfrmMainDrag, ClickWithoutMovingStoresThePositionAndOtherButtonsDragToo) {
    Window w;
    w.Backend.Position = {-40, 12};
    w.TheForm().MouseDown(MouseButton::Left, {120, 20});
    w.TheForm().MouseUp(MouseButton::Left, {120, 20});
    EXPECT_EQ(w.Registry.Values["CalcLeft"], "-40");
    EXPECT_EQ(w.Registry.Values["CalcTop"], "12");
    EXPECT_TRUE(w.Backend.Moves.empty());

    w.TheForm().MouseDown(MouseButton::Middle, {120, 20});
    w.TheForm().MouseMove({121, 22});
    EXPECT_EQ(w.Backend.Position, (Point{-39, 14}));
    w.TheForm().MouseMove({30, 120});  // over a key surface: not a drag control
    EXPECT_EQ(w.Backend.Position, (Point{-39, 14}));
}

// Wherever the button that started a drag is released, the drag ends and the place is stored;
// the window never follows a pointer with no button held.
TEST(TfrmMainDrag, TheReleaseOfTheDraggingButtonEndsTheDragAnywhere) {
    const struct {
        MouseButton Button;
        Point Release;
        const char* Where;
    } cases[] = {
        {MouseButton::Right, {21, 181}, "right, over the 1 key"},
        {MouseButton::Middle, {100, 50}, "middle, over the operator label"},
        {MouseButton::Right, {400, 400}, "right, outside the window"},
        {MouseButton::Left, {21, 181}, "left, over the 1 key"},
    };
    for (const auto& c : cases) {
        Window w;
        w.Backend.Position = {300, 200};
        w.TheForm().MouseDown(c.Button, {120, 20});
        w.TheForm().MouseMove({125, 30});
        w.TheForm().MouseUp(c.Button, c.Release);
        EXPECT_FALSE(w.Frm.Dragging) << c.Where;
        EXPECT_EQ(w.Registry.Values["CalcLeft"], "305") << c.Where;
        EXPECT_EQ(w.Registry.Values["CalcTop"], "210") << c.Where;
        w.TheForm().MouseMove({50, 90});
        EXPECT_EQ(w.Backend.Position, (Point{305, 210})) << c.Where << ": no button is held";
        EXPECT_EQ(w.Display(), "| |0") << c.Where << ": a drag enters no key";
    }
}

TEST(TfrmMainDrag, ALostCaptureEndsTheDragAsAReleaseWould) {
    Window w;
    w.Backend.Position = {10, 10};
    w.TheForm().MouseDown(MouseButton::Left, {50, 30});
    w.TheForm().MouseMove({60, 40});
    w.TheForm().CaptureLost();
    EXPECT_FALSE(w.Frm.Dragging);
    EXPECT_EQ(w.Registry.Values["CalcLeft"], "20");
    EXPECT_EQ(w.Profile.Values["CalcTop"], "20");
}

TEST(TfrmMainShow, PlacesFromTheStoredPositionOrTheDefault) {
    Window first;
    first.TheForm().Show();
    EXPECT_EQ(first.Backend.Position, (Point{1920 - 126, 100})) << "first run";
    EXPECT_EQ(first.Registry.Values.count("CalcLeft"), 1u) << "the empty value is written";
    EXPECT_EQ(first.Registry.Values.count("CalcTop"), 0u) << "CalcTop is not read";

    Window stored;
    stored.Registry.Values = {{"CalcLeft", "741"}, {"CalcTop", "-20"}};
    stored.TheForm().Show();
    EXPECT_EQ(stored.Backend.Position, (Point{741, -20}));

    Window beyond;
    beyond.Registry.Values = {{"CalcLeft", "5000"}, {"CalcTop", "300"}};
    beyond.TheForm().Show();
    EXPECT_EQ(beyond.Backend.Position, (Point{1794, 300}));
}

// Shown while the stored position is still being read from a large legacy file.
struct EarlyWindow {
    RecordingBackend Backend;
    MemoryRegistry Registry;
    SlowProfile Profile;
    SettingsStore Settings{Registry, Profile};
    SettingsPrefetch Position{Settings, PositionNames};
    TfrmMain Frm{Backend, {Settings, [] { return false; }, [] { return ','; }, {}, &Position}};
    ~EarlyWindow() { Profile.LetGo(); }
};

TEST(TfrmMainShow, ALatePositionMovesTheWindowUnlessTheUserMovedItFirst) {
    for (const bool dragged : {false, true}) {
        EarlyWindow w;
        w.Profile.Values = {{"CalcLeft", "741"}, {"CalcTop", "20"}};
        w.Frm.GetForm().Show();
        EXPECT_EQ(w.Backend.Position, (Point{1920 - 126, 100})) << "the default place at once";
        if (dragged) {
            w.Frm.GetForm().MouseDown(MouseButton::Left, {120, 20});
            w.Frm.GetForm().MouseMove({110, 30});
            w.Frm.GetForm().MouseUp(MouseButton::Left, {110, 30});
        }
        w.Profile.LetGo();
        while (!w.Position.ArrivedValues()) {
            std::this_thread::yield();
        }
        w.Frm.GetForm().Timer(FormTimer::Close);
        EXPECT_EQ(w.Backend.Position, (dragged ? Point{1920 - 136, 110} : Point{741, 20}))
            << (dragged ? "dragged" : "left alone");
        EXPECT_EQ(w.Registry.Values["CalcLeft"], dragged ? "1784" : "741");
    }
}

TEST(TfrmMainOpacity, FollowsActivationOfTheProgram) {
    Window w;
    EXPECT_EQ(w.Backend.OpacityRequests, (std::vector<int>{220}));
    w.TheForm().Activate();
    w.TheForm().Activate();
    w.TheForm().Deactivate();
    w.TheForm().Activate();
    EXPECT_EQ(w.Backend.OpacityRequests, (std::vector<int>{220, 255, 155, 255}));
}

TEST(TfrmMainClose, ThePollClosesOnlyWhileTheHostSignals) {
    Window w;
    EXPECT_EQ(w.Backend.RunningTimers[FormTimer::Close], 200);
    w.TheForm().Timer(FormTimer::Close);
    EXPECT_EQ(w.Backend.Closes, 0);
    w.CloseSignal = true;
    w.TheForm().Timer(FormTimer::Close);
    EXPECT_EQ(w.Backend.Closes, 1);
}

// The poll keeps running inside the menu's loop; the window closes once the loop has returned.
TEST(TfrmMainClose, ASignalSeenWhileTheMenuIsOpenEndsTheMenuAndCloses) {
    Window w;
    int closesInsideTheMenu = -1;
    w.Backend.InsideNestedLoop = [&w, &closesInsideTheMenu] {
        w.CloseSignal = true;
        w.TheForm().Timer(FormTimer::Close);
        closesInsideTheMenu = w.Backend.Closes;
    };
    w.TheForm().MouseUp(MouseButton::Right, {120, 20});
    EXPECT_EQ(closesInsideTheMenu, 0);
    EXPECT_EQ(w.Backend.NestedLoopEnds, 1);
    EXPECT_EQ(w.Backend.Closes, 1);
}

TEST(TfrmMainKeyboard, TypedCharactersDriveTheEngine) {
    Window w;
    w.Type(U"1.5*4\r");
    EXPECT_EQ(w.Display(), "6|=|");
    w.Type(U"7/2=");
    EXPECT_EQ(w.Display(), "3,5|=|");
    w.Type(U"12c3+4x2\x1b");
    EXPECT_EQ(w.Display(), "||0") << "c clears the entry, Escape clears all";
    w.Type(U"9:3=");
    EXPECT_EQ(w.Display(), "3|=|");
    w.Type(U"5-1aAX \b<;");
    EXPECT_EQ(w.Display(), "5|-|1") << "letters, blanks and symbols outside the map are ignored";
}

TEST(TfrmMainKeyboard, RegionalSettingsChangedTakesTheNewSeparatorForTheNextWrite) {
    Window w;
    w.Type(U"1,5");
    w.UserSeparator = '.';
    w.TheForm().RegionalSettingsChanged();
    EXPECT_EQ(w.Display(), "| |1,5") << "the display is not rewritten by itself";
    w.Type(U"2");
    EXPECT_EQ(w.Display(), "| |1.52");

    w.UserThousands = "'";
    w.TheForm().RegionalSettingsChanged();
    w.TheForm().ClipboardTextArrived("1'234.5");
    EXPECT_EQ(w.Display(), "| |1234.5") << "a paste reads the new thousands separator";
}

TEST(KeyboardMap, TranslatesExactlyTheTableAndIgnoresEverythingElse) {
    const std::map<char32_t, KeyText> table = {
        {U'\r', "="}, {U'\x1b', "A"}, {U'*', "x"}, {U'+', "+"}, {U',', ","}, {U'-', "-"},
        {U'.', ","},  {U'/', ":"},    {U'0', "0"}, {U'1', "1"}, {U'2', "2"}, {U'3', "3"},
        {U'4', "4"},  {U'5', "5"},    {U'6', "6"}, {U'7', "7"}, {U'8', "8"}, {U'9', "9"},
        {U':', ":"},  {U'=', "="},    {U'C', "C"}, {U'c', "C"}, {U'x', "x"}};
    for (char32_t c = 0; c < 0x3000; ++c) {
        const auto expected = table.find(c);
        const auto actual = TranslateTypedCharacter(c);
        if (expected == table.end()) {
            EXPECT_FALSE(actual.has_value()) << "character " << static_cast<unsigned>(c);
        } else {
            EXPECT_EQ(actual, expected->second) << "character " << static_cast<unsigned>(c);
        }
    }
    // Beyond the range above, characters whose low bits look like a mapped one are ignored too.
    for (char32_t c : {U'\U0001F031', U'\U0010002B', U'\U0001000D'}) {
        EXPECT_FALSE(TranslateTypedCharacter(c).has_value()) << static_cast<unsigned>(c);
    }
}

TEST(TfrmMainCopy, CtrlCCopiesTheNumberOnDisplayAndChangesNothing) {
    Window w;
    const KeyModifiers control{.Control = true};
    w.TheForm().KeyDown(U'c', control);
    w.Type(U"12,5");
    w.TheForm().KeyDown(U'c', control);
    w.Type(U"+");
    w.TheForm().KeyDown(U'c', control);
    w.TheForm().KeyDown(U'c', {});  // without Ctrl nothing is copied
    // Ctrl with Alt is AltGr, which types characters and is no shortcut.
    const KeyModifiers altGr{.Control = true, .Alt = true};
    w.TheForm().KeyDown(U'c', altGr);
    w.TheForm().KeyDown(U'v', altGr);
    EXPECT_EQ(w.Backend.ClipboardRequests, 0) << "AltGr+V pastes nothing";
    EXPECT_EQ(w.Backend.Clipboard, (std::vector<std::string>{"0", "12,5", "12,5"}));
    EXPECT_EQ(w.Display(), "12,5|+|");
    w.Type(U":0=");
    EXPECT_EQ(w.Caption("lblRechnerLetzteZahl"), "Fehler");
    w.TheForm().KeyDown(U'c', control);
    EXPECT_EQ(w.Backend.Clipboard.size(), 3u) << "nothing while the error shows";
}

// Pasting makes an amount the entry as if typed; text that is no amount changes nothing and
// shows no box. The user's separator here is the comma.
TEST(TfrmMainPaste, CtrlVAsksForTheClipboardAndAnAmountBecomesTheEntry) {
    const struct {
        std::u32string Before;
        std::string Clipboard;
        std::u32string After;
        std::string Display;
    } cases[] = {
        {U"", " 1234,5\r\n", U"", "| |1234,5"},
        {U"", "1234,5", U"x2=", "2469|=|"},
        {U"", "0,25", U"7", "| |0,257"},
        {U"", "-12", U"3+1=", "-122|=|"},
        {U"2+3=", "4", U"", "||4"},
        {U"2+3=", "4", U"+1=", "5|=|"},
        {U"9+", "1,5", U"=", "10,5|=|"},
        {U"", "1.234,5 \xE2\x82\xAC", U"", "| |1234,5"},
        {U"5", "12,5E2", U"", "| |5"},
        {U"5", "zwei", U"", "| |5"},
        {U"5", "   ", U"", "| |5"},
        {U"5", "99999999999999999", U"", "| |5"},
    };
    for (const auto& c : cases) {
        Window w;
        w.Type(c.Before);
        w.TheForm().KeyDown(U'v', {.Control = true});
        EXPECT_EQ(w.Backend.ClipboardRequests, 1) << c.Clipboard;
        w.TheForm().ClipboardTextArrived(c.Clipboard);
        w.Type(c.After);
        EXPECT_EQ(w.Display(), c.Display) << '"' << c.Clipboard << '"';
        EXPECT_TRUE(w.Backend.Messages.empty()) << c.Clipboard;
    }
}

// What the display does not show by itself is said once, as a message in the display's place:
// no key's display news beside it, and nothing for an ordinary key.
TEST(TfrmMainAccessible, RefusedDigitsClearingErrorsCopiesAndPastesAreSaidOnce) {
    const std::optional<std::string> none;
    const struct {
        std::u32string Before;
        std::u32string Key;                    // typed, or U"^c" for Ctrl+C
        std::optional<std::string> Clipboard;  // pasted instead, when set
        std::vector<std::string> Said;
    } cases[] = {
        {U"123456789012345", U"6", none, {RefusedDigitMessage()}},
        {U"1,2345", U"6", none, {RefusedDigitMessage()}},
        {U"1,234", U"0", none, {}},
        {U"0", U"0", none, {}},
        {U"123456789012345+", U"6", none, {}},
        {U"123456789012345=", U"6", none, {}},
        {U"7+8", U"=", none, {}},
        {U"12", U"\x1b", none, {ClearedMessage("0")}},
        {U"3+12", U"c", none, {ClearedMessage("0")}},
        {U"5:0", U"=", none, {ErrorMessage()}},
        {U"5:0=", U"=", none, {}},
        {U"7+8=", U"^c", none, {CopiedMessage("15")}},
        {U"5:0=", U"^c", none, {}},
        {U"5", U"", "12,5", {PastedMessage("12,5")}},
        {U"5", U"", "zwei", {RefusedPasteMessage()}},
        {U"5", U"", " \r\n", {RefusedPasteMessage()}},
    };
    for (const auto& c : cases) {
        Window w;
        w.Type(c.Before);
        w.Backend.AccessibleChanges.clear();
        w.Backend.SpokenMessages.clear();
        if (c.Clipboard) {
            w.TheForm().ClipboardTextArrived(*c.Clipboard);
        } else if (c.Key == U"^c") {
            w.TheForm().KeyDown(U'c', {.Control = true});
        } else {
            w.Type(c.Key);
        }
        const std::string what = std::string(c.Before.begin(), c.Before.end()) + " then " +
                                 std::string(c.Key.begin(), c.Key.end()) + c.Clipboard.value_or("");
        EXPECT_EQ(w.Backend.SpokenMessages, c.Said) << what;
        if (!c.Said.empty()) {
            const std::size_t display = *w.TheForm().AccessibleFocusIndex();
            EXPECT_EQ(
                std::count(w.Backend.AccessibleChanges.begin(), w.Backend.AccessibleChanges.end(),
                           std::pair{display, AccessibleChange::Announce}),
                0)
                << what << ": said twice";
        }
    }
}

// The index of the element a screen reader finds under that name in the accessible order.
std::size_t ElementNamed(const Form& form, const std::string& name) {
    for (std::size_t index = 0; index < form.AccessibleCount(); ++index) {
        if (form.AccessibleOrder[index] == name) {
            return index;
        }
    }
    return form.AccessibleCount();
}

// What a screen reader finds: the 18 keys as push buttons with the key that types them, the
// three display texts and the display as a whole, each where the window shows it, read from top
// to bottom and left to right, scaled displays included.
TEST(TfrmMainAccessible, TheKeysAndTheDisplayAreFoundWhereTheyLieInReadingOrder) {
    Window w;
    w.Backend.Factor = {16, Form::DesignTextHeight};
    w.TheForm().Scale();
    const Form& form = w.TheForm();
    ASSERT_EQ(form.AccessibleCount(), 22u);
    std::map<AccessibleRole, int> roles;
    std::map<std::string, std::string> shortcuts;  // by the key's spoken name
    for (std::size_t index = 0; index < form.AccessibleCount(); ++index) {
        const AccessibleElement element = form.Accessible(index);
        ++roles[element.Role];
        if (element.Role == AccessibleRole::Display) {
            EXPECT_EQ(element.Description, "Anzeige");
            EXPECT_EQ(form.AccessibleFocusIndex(), index);
            continue;
        }
        const Control& control = form.ControlNamed(form.AccessibleOrder[index]);
        EXPECT_EQ(element.Bounds, control.Bounds) << control.Name;
        if (element.Role == AccessibleRole::PushButton) {
            EXPECT_FALSE(element.Name.empty()) << control.Name;
            EXPECT_FALSE(element.Shortcut.empty()) << control.Name;
            shortcuts[element.Name] = element.Shortcut;
            if (!control.Hint.empty()) {
                EXPECT_EQ(element.Description, control.Hint) << control.Name;
            }
            const Point centre{element.Bounds.Left + element.Bounds.Width / 2,
                               element.Bounds.Top + element.Bounds.Height / 2};
            EXPECT_EQ(form.AccessibleAt(centre), index) << control.Name;
        }
    }
    EXPECT_EQ(roles, (std::map<AccessibleRole, int>{{AccessibleRole::PushButton, 18},
                                                    {AccessibleRole::StaticText, 3},
                                                    {AccessibleRole::Display, 1}}));
    EXPECT_EQ(shortcuts.size(), 18u) << "every key has a name of its own";
    EXPECT_EQ(shortcuts["Sieben"], "7");
    EXPECT_EQ(shortcuts["Plus"], "Plus");
    EXPECT_EQ(shortcuts["Gleich"], "Eingabetaste");
    EXPECT_EQ(shortcuts["Alles l\xC3\xB6schen"], "Esc");
    EXPECT_EQ(shortcuts["Eingabe l\xC3\xB6schen"], "C");
    EXPECT_EQ(form.AccessibleAt({5, 100}), std::nullopt) << "the body is no element";
    EXPECT_THROW(form.Accessible(22), std::out_of_range);

    // The display spans its texts, and between them the point is the display's.
    const std::size_t display = *form.AccessibleFocusIndex();
    const Rect spanned = form.Accessible(display).Bounds;
    for (const std::string label : {"lblRechner", "lblRechnerLetzteZahl", "lblRechnerOperant"}) {
        const Rect text = form.ControlNamed(label).Bounds;
        EXPECT_TRUE(spanned.Contains({text.Left, text.Top}) &&
                    spanned.Contains({text.Right() - 1, text.Bottom() - 1}))
            << label;
    }
    EXPECT_EQ(form.AccessibleAt({spanned.Right() - 1, spanned.Bottom() - 1}), display);

    // Reading order: each element lies on the row of the one before it and right of it, or on
    // a row further down; a row takes what starts within a few pixels of its top. The display
    // as a whole comes first.
    EXPECT_EQ(display, 0u);
    constexpr int SameRow = 3;
    for (std::size_t index = 1; index < form.AccessibleCount(); ++index) {
        const Rect before = form.Accessible(index - 1).Bounds;
        const Rect now = form.Accessible(index).Bounds;
        const bool sameRow = std::abs(now.Top - before.Top) <= SameRow;
        EXPECT_TRUE(sameRow ? now.Left >= before.Left : now.Top > before.Top)
            << form.AccessibleOrder[index - 1] << " is read before " << form.AccessibleOrder[index];
    }
}

// A press through the accessibility interface is a click: the same display as clicking the
// same key, and nothing for a display text, the display, or a number beyond the elements. Only
// what can be pressed has an action, and one word for it.
TEST(TfrmMainAccessible, PressingAnElementEntersWhatClickingItEnters) {
    Window pressed;
    Window clicked;
    Form& form = pressed.TheForm();
    for (std::size_t index = 0; index < form.AccessibleCount(); ++index) {
        const std::string& name = form.AccessibleOrder[index];
        const AccessibleElement element = form.Accessible(index);
        const bool isButton = element.Role == AccessibleRole::PushButton;
        EXPECT_EQ(element.Action, isButton ? "Dr\xC3\xBC"
                                             "cken"
                                           : "")
            << name;
        EXPECT_EQ(form.PressAccessible(index), isButton) << name;
        if (isButton) {
            clicked.Click(clicked.Centre(name));
        }
        EXPECT_EQ(pressed.Display(), clicked.Display()) << "after " << name;
    }
    const std::string before = pressed.Display();
    EXPECT_FALSE(form.PressAccessible(form.AccessibleCount()));
    EXPECT_FALSE(form.PressAccessible(static_cast<std::size_t>(-1)));
    EXPECT_EQ(pressed.Display(), before);
}

// Where two keys overlap by a pixel row, the reader finds the key that a click there enters,
// the later one, as the click takes the topmost.
TEST(TfrmMainAccessible, HitTestingOnOverlappingKeysFindsTheKeyAClickEnters) {
    Window w;
    const Form& form = w.TheForm();
    int overlaps = 0;
    for (std::size_t a = 0; a < form.AccessibleCount(); ++a) {
        for (std::size_t b = a + 1; b < form.AccessibleCount(); ++b) {
            const AccessibleElement first = form.Accessible(a);
            const AccessibleElement second = form.Accessible(b);
            if (first.Role != AccessibleRole::PushButton ||
                second.Role != AccessibleRole::PushButton ||
                !first.Bounds.Intersects(second.Bounds)) {
                continue;
            }
            const int left = std::max(first.Bounds.Left, second.Bounds.Left);
            const int top = std::max(first.Bounds.Top, second.Bounds.Top);
            const int right = std::min(first.Bounds.Right(), second.Bounds.Right());
            const int bottom = std::min(first.Bounds.Bottom(), second.Bounds.Bottom());
            for (int y = top; y < bottom; ++y) {
                for (int x = left; x < right; ++x) {
                    ++overlaps;
                    // Fresh windows each time, with a calculation under way, so that every key
                    // shows differently.
                    const auto clicked = std::make_unique<Window>();
                    const auto pressed = std::make_unique<Window>();
                    clicked->Type(U"12+3");
                    pressed->Type(U"12+3");
                    clicked->Click({x, y});
                    const auto found = pressed->TheForm().AccessibleAt({x, y});
                    ASSERT_TRUE(found.has_value()) << x << "," << y;
                    pressed->TheForm().PressAccessible(*found);
                    EXPECT_EQ(pressed->Display(), clicked->Display())
                        << "at " << x << "," << y << " the reader finds "
                        << form.AccessibleOrder[*found];
                }
            }
        }
    }
    EXPECT_GT(overlaps, 0) << "the key table has keys that overlap";
}

// What a reader is told after each key: the display says what it shows as its main number,
// the entry while typing and the result after "=" or an operator; a change is told once, and
// every result is said once, also when the display already showed it. A display text's change
// is told only when it is spoken differently.
TEST(TfrmMainAccessible, EveryKeyTellsTheDisplayOnceAndEveryResultIsSaid) {
    struct Case {
        std::u32string Before;  // typed first, then the changes are cleared
        std::u32string Key;
        std::string Shown;
        bool Result;
        bool NameChanged;  // the display's
        bool Announced;
    };
    const std::vector<Case> cases{
        {U"", U"7", "7", false, true, true},         {U"7", U"+", "7", true, false, true},
        {U"7+", U"8", "8", false, true, true},       {U"7+8", U"\r", "15", true, true, true},
        {U"2x", U"1", "1", false, true, true},       {U"2x1", U"=", "2", true, true, true},
        {U"2", U"=", "2", true, false, true},        {U"2=", U"=", "2", true, false, true},
        {U"5:0", U"=", "Fehler", true, true, false}, {U"", U"c", "0", false, false, false},
        {U"", U"\x1b", "0", false, false, false},    {U"12", U"\x1b", "0", false, true, false},
        {U"", U"X", "0", false, false, false},
    };
    for (const Case& c : cases) {
        Window w;
        Form& form = w.TheForm();
        const std::size_t display = ElementNamed(form, "Anzeige");
        const std::size_t operatorText = ElementNamed(form, "lblRechnerOperant");
        w.Type(c.Before);
        w.Backend.AccessibleChanges.clear();
        w.Type(c.Key);
        const std::string what = "\"" + std::string(c.Before.begin(), c.Before.end()) + "\" then " +
                                 std::to_string(static_cast<int>(c.Key[0]));
        const AccessibleElement element = form.Accessible(display);
        EXPECT_EQ(element.Name, c.Shown) << what;
        EXPECT_EQ(element.ShowsResult, c.Result) << what;
        const auto count = [&](std::size_t index, AccessibleChange change) {
            return std::count(w.Backend.AccessibleChanges.begin(),
                              w.Backend.AccessibleChanges.end(), std::pair{index, change});
        };
        EXPECT_EQ(count(display, AccessibleChange::Name), c.NameChanged ? 1 : 0) << what;
        EXPECT_EQ(count(display, AccessibleChange::Announce), c.Announced ? 1 : 0) << what;
        // The operator label's blank start (" ") and an all-clear's "" are spoken alike.
        if (c.Before.empty() && c.Key == U"\x1b") {
            EXPECT_EQ(w.Caption("lblRechnerOperant"), "") << what;
            EXPECT_EQ(count(operatorText, AccessibleChange::Name), 0) << what;
        }
        for (std::size_t index = 0; index < form.AccessibleCount(); ++index) {
            EXPECT_LE(count(index, AccessibleChange::Name), 1) << what << " at " << index;
        }
    }

    // The display texts keep saying what they show.
    Window w;
    w.Type(U"7+2:");
    const Form& form = w.TheForm();
    EXPECT_EQ(form.Accessible(ElementNamed(form, "lblRechnerOperant")).Name, "geteilt durch");
    EXPECT_EQ(form.Accessible(ElementNamed(form, "lblRechnerLetzteZahl")).Name, "9");
    EXPECT_EQ(form.Accessible(ElementNamed(form, "lblRechner")).Name, "");
    EXPECT_EQ(form.Accessible(ElementNamed(form, "Anzeige")).Name, "9");
}

// The display is focused only while the program is active, as the form learns it from the
// backend; losing the foreground is told once, and a paste is shown and said.
TEST(TfrmMainAccessible, TheDisplayIsFocusedOnlyWhileTheProgramIsActive) {
    Window w;
    Form& form = w.TheForm();
    const std::size_t display = *form.AccessibleFocusIndex();
    using Changes = std::vector<std::pair<std::size_t, AccessibleChange>>;
    EXPECT_FALSE(form.Accessible(display).Focused) << "not focused before the first activation";
    EXPECT_TRUE(form.Accessible(display).Focusable);

    form.Activate();
    EXPECT_TRUE(form.Accessible(display).Focused);
    EXPECT_EQ(w.Backend.AccessibleChanges, (Changes{{display, AccessibleChange::Focus}}));
    w.Backend.AccessibleChanges.clear();
    form.Deactivate();
    form.Deactivate();
    EXPECT_FALSE(form.Accessible(display).Focused) << "focused while inactive";
    EXPECT_FALSE(form.Active());
    EXPECT_EQ(w.Backend.AccessibleChanges, (Changes{{display, AccessibleChange::FocusLost}}));
    for (std::size_t index = 0; index < form.AccessibleCount(); ++index) {
        if (index != display) {
            EXPECT_FALSE(form.Accessible(index).Focused || form.Accessible(index).Focusable);
        }
    }

    w.Backend.AccessibleChanges.clear();
    form.ClipboardTextArrived("12,5");
    EXPECT_EQ(form.Accessible(display).Name, "12,5");
    EXPECT_FALSE(form.Accessible(display).ShowsResult);
    EXPECT_EQ(w.Backend.SpokenMessages, std::vector<std::string>{PastedMessage("12,5")});
}

}  // namespace

// In high contrast each key is drawn on its own rectangle with its usual sign, and the window
// keeps computing, dragging and reading out exactly as in the skin.
TEST(TfrmMainContrast, EveryKeyShowsItsSignAndBehavesAsInTheSkin) {
    const std::pair<std::string, std::string> signs[] = {{"Image10", "0"},
                                                         {"img1", "1"},
                                                         {"Img2", "2"},
                                                         {"Image9", "3"},
                                                         {"Image16", "4"},
                                                         {"Image15", "5"},
                                                         {"Image14", "6"},
                                                         {"Image20", "7"},
                                                         {"Image19", "8"},
                                                         {"Image18", "9"},
                                                         {"Image11", ","},
                                                         {"Image24", "+"},
                                                         {"Image13", "\xE2\x88\x92"},
                                                         {"Image17", "\xC3\x97"},
                                                         {"Image21", "\xC3\xB7"},
                                                         {"Image12", "="},
                                                         {"Image23", "C"},
                                                         {"Image22", "AC"}};
    // The display's texts differ by what was typed; the keys' names may not.
    const auto keyNames = [](const Form& form) {
        std::vector<std::string> names;
        for (std::size_t index = 0; index < form.AccessibleCount(); ++index) {
            if (form.Accessible(index).Role == AccessibleRole::PushButton) {
                names.push_back(form.Accessible(index).Name);
            }
        }
        return names;
    };
    Window skin;
    const std::vector<std::string> namesInTheSkin = keyNames(skin.TheForm());

    Window w;
    w.Backend.Contrast = SystemColours{.Window = {255, 255, 255}, .ButtonFace = {255, 255, 255}};
    w.TheForm().ContrastChanged();
    RecordingPainter painter;
    w.TheForm().Paint(painter);
    EXPECT_EQ(painter.Pictures, 0);
    const Rect one = w.TheForm().ControlNamed("img1").Bounds;
    std::vector<Rect> keys;
    for (const auto& [surface, sign] : signs) {
        const Rect& bounds = w.TheForm().ControlNamed(surface).Bounds;
        const DrawnText* text = painter.TextOn(bounds);
        ASSERT_NE(text, nullptr) << surface;
        EXPECT_EQ(text->Text, sign) << surface;
        EXPECT_EQ(text->DigitHeight, 13) << surface << ": two thirds of a key's height";
        EXPECT_NE(painter.RectangleOn(bounds), nullptr) << surface << " is framed";
        // An aligned grid of equal keys: every key one cell wide and starting on the grid that
        // "1" starts; the keys never overlap.
        EXPECT_EQ(bounds.Width, one.Width) << surface;
        EXPECT_EQ((bounds.Left - one.Left) % (one.Width + 1), 0) << surface;
        EXPECT_EQ((bounds.Top - one.Top) % (one.Height + 1), 0) << surface;
        for (const Rect& other : keys) {
            EXPECT_FALSE(bounds.Intersects(other)) << surface;
        }
        keys.push_back(bounds);
    }
    EXPECT_EQ(w.TheForm().ControlNamed("Image24").Bounds.Height, 2 * one.Height + 1)
        << "plus takes two rows";
    EXPECT_EQ(painter.Texts.size(), 21u) << "18 keys and the three display texts";

    for (const char* surface : {"img1", "Image11", "Image15", "Image17", "Img2", "Image24",
                                "Image9", "Image13", "img1", "Image21", "Image16", "Image12"}) {
        w.Click(w.Centre(surface));
    }
    EXPECT_EQ(w.Display(), "1,25|=|") << "1,5 x 2 + 3 - 1 : 4 = clicked in high contrast";
    w.Type(U"7+1\r");
    EXPECT_EQ(w.Display(), "8|=|") << "typed 7+1 Enter in high contrast";
    w.Backend.Position = {300, 200};
    w.TheForm().MouseDown(MouseButton::Left, {60, 20});
    w.TheForm().MouseMove({70, 25});
    w.TheForm().MouseUp(MouseButton::Left, {70, 25});
    EXPECT_EQ(w.Backend.Position, (Point{310, 205})) << "the body drags in high contrast";
    EXPECT_EQ(w.Registry.Values["CalcLeft"], "310");
    EXPECT_EQ(keyNames(w.TheForm()), namesInTheSkin);
}
