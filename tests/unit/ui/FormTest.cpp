// The form runtime's rules on a small synthetic form: routing to the topmost control, capture,
// clicks, the context menu, cursors, hints, scaling and the handler guard.

#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include "Form.h"
#include "RecordingBackend.h"
#include "RecordingPainter.h"

namespace {

Picture PlainPicture(int width, int height) {
    return {width, height,
            std::vector<std::uint8_t>(static_cast<std::size_t>(width * height * 3), 200)};
}

// A body covering everything, two overlapping buttons and a label without behaviour.
struct TestForm {
    RecordingBackend Backend;
    std::vector<std::string> Events;
    Form TheForm;

    TestForm() : TheForm(Backend, "Test", 100, 100, Controls(), PlainPicture(100, 100)) {
        for (const std::string name : {"Body", "Low", "High"}) {
            Control& control = TheForm.ControlNamed(name);
            control.OnMouseDown = [this, name](MouseButton button, Point p) {
                Events.push_back(name + " down " + ButtonName(button) + " " + Text(p));
            };
            control.OnMouseMove = [this, name](Point p) {
                Events.push_back(name + " move " + Text(p));
            };
            control.OnMouseUp = [this, name](MouseButton button, Point p) {
                Events.push_back(name + " up " + ButtonName(button) + " " + Text(p));
            };
        }
        TheForm.ControlNamed("Low").OnClick = [this] { Events.push_back("Low click"); };
        TheForm.ControlNamed("High").OnClick = [this] { Events.push_back("High click"); };
        TheForm.PopupMenu = {{"Close", [this] { Events.push_back("menu"); }}};
    }

    static std::vector<Control> Controls() {
        return {
            {.Name = "Skin", .Kind = ControlKind::Picture},
            {.Name = "Body",
             .Bounds = {0, 0, 100, 100},
             .ControlCursor = PointerShape::SizeAll,
             .Hint = "body hint",
             .HasPopupMenu = true},
            {.Name = "Low",
             .Bounds = {10, 10, 20, 20},
             .ControlCursor = PointerShape::Hand,
             .HasPopupMenu = true},
            {.Name = "High",
             .Bounds = {10, 29, 20, 20},
             .ControlCursor = PointerShape::Hand,
             .Hint = "high hint",
             .HasPopupMenu = true},
            {.Name = "Inert",
             .Kind = ControlKind::Label,
             .Bounds = {60, 60, 20, 20},
             .Caption = "x"},
        };
    }
    static std::string ButtonName(MouseButton button) {
        return button == MouseButton::Left ? "L" : button == MouseButton::Right ? "R" : "M";
    }
    static std::string Text(Point p) { return std::to_string(p.X) + "," + std::to_string(p.Y); }
};

TEST(FormRouting, TopmostControlTakesThePressAndCoordinatesAreRelativeToIt) {
    TestForm t;
    t.TheForm.MouseDown(MouseButton::Left, {15, 29});  // row 29 belongs to Low and High
    t.TheForm.MouseUp(MouseButton::Left, {15, 29});
    t.TheForm.MouseDown(MouseButton::Left, {50, 50});
    t.TheForm.MouseUp(MouseButton::Left, {50, 50});
    EXPECT_EQ(t.Events, (std::vector<std::string>{"High down L 5,0", "High click", "High up L 5,0",
                                                  "Body down L 50,50", "Body up L 50,50"}));
}

TEST(FormRouting, TheSkinPictureNeverTakesInput) {
    RecordingBackend backend;
    Form form(backend, "Test", 50, 50, {{.Name = "Skin", .Kind = ControlKind::Picture}},
              PlainPicture(50, 50));
    EXPECT_EQ(form.ControlNamed("Skin").Bounds, (Rect{0, 0, 50, 50}))
        << "a picture control takes the size of its picture";
    form.MouseDown(MouseButton::Left, {5, 5});
    EXPECT_FALSE(backend.Captured) << "nothing lies under the pointer but the picture";
}

TEST(FormCapture, LeftPressCapturesAndTheReleaseDecidesTheClick) {
    TestForm t;
    t.TheForm.MouseDown(MouseButton::Left, {12, 12});
    EXPECT_TRUE(t.Backend.Captured);
    t.TheForm.MouseMove({90, 90});  // outside, still reported to the pressed control
    t.TheForm.MouseUp(MouseButton::Left, {90, 90});
    EXPECT_FALSE(t.Backend.Captured);
    EXPECT_EQ(t.Events,
              (std::vector<std::string>{"Low down L 2,2", "Low move 80,80", "Low up L 80,80"}))
        << "a release off the pressed surface enters nothing";

    t.Events.clear();
    t.TheForm.MouseDown(MouseButton::Left, {12, 20});
    t.TheForm.MouseUp(MouseButton::Left, {12, 29});  // inside Low, though High lies above it
    EXPECT_EQ(t.Events[1], "Low click") << "the release only has to lie inside the pressed control";
}

TEST(FormCapture, RepeatedQuickPressesEachClick) {
    TestForm t;
    for (int i = 0; i < 3; ++i) {
        t.TheForm.MouseDown(MouseButton::Left, {12, 12});
        t.TheForm.MouseUp(MouseButton::Left, {12, 12});
    }
    EXPECT_EQ(std::count(t.Events.begin(), t.Events.end(), "Low click"), 3)
        << "a double-click is two clicks";
}

TEST(FormCapture, OtherButtonsRouteByThePointerAndDoNotClick) {
    TestForm t;
    t.TheForm.MouseDown(MouseButton::Middle, {12, 12});
    EXPECT_TRUE(t.Backend.Captured) << "natively captured, so the release comes back";
    t.TheForm.MouseMove({50, 50});  // now over Body, which gets the move
    t.TheForm.MouseUp(MouseButton::Middle, {50, 50});
    EXPECT_FALSE(t.Backend.Captured);
    EXPECT_EQ(t.Events,
              (std::vector<std::string>{"Low down M 2,2", "Body move 50,50", "Body up M 50,50"}));

    // Released where nothing takes releases, it returns to the control that took the press.
    t.Events.clear();
    t.TheForm.MouseDown(MouseButton::Right, {50, 50});
    t.TheForm.MouseUp(MouseButton::Right, {65, 65});
    t.TheForm.MouseDown(MouseButton::Middle, {50, 50});
    t.TheForm.MouseUp(MouseButton::Middle, {-30, 140});
    EXPECT_EQ(t.Events, (std::vector<std::string>{"Body down R 50,50", "Body up R 65,65",
                                                  "Body down M 50,50", "Body up M -30,140"}));
}

// Another button pressed and released during a left press changes nothing about it: the left
// release still clicks, and the capture lasts until then.
TEST(FormCapture, AnotherButtonDuringALeftPressLeavesItToTheLeftRelease) {
    TestForm t;
    t.TheForm.MouseDown(MouseButton::Left, {12, 12});
    t.TheForm.MouseDown(MouseButton::Right, {12, 12});
    t.TheForm.MouseUp(MouseButton::Right, {12, 12});
    EXPECT_TRUE(t.Backend.Captured) << "the right release ends nothing";
    t.TheForm.MouseUp(MouseButton::Left, {12, 12});
    EXPECT_FALSE(t.Backend.Captured);
    EXPECT_EQ(std::count(t.Events.begin(), t.Events.end(), "Low click"), 1);
    EXPECT_EQ(t.Events.back(), "Low up L 2,2");
}

TEST(FormCapture, ALostCaptureEndsThePressWithoutAClick) {
    TestForm t;
    t.TheForm.MouseDown(MouseButton::Left, {12, 12});
    t.TheForm.MouseMove({40, 45});
    t.TheForm.CaptureLost();
    t.TheForm.MouseUp(MouseButton::Left, {12, 12});  // a late release reaches what lies there
    EXPECT_EQ(t.Events, (std::vector<std::string>{"Low down L 2,2", "Low move 30,35",
                                                  "Low up L 30,35", "Low up L 2,2"}));
    t.TheForm.CaptureLost();
    EXPECT_EQ(t.Events.size(), 4u) << "nothing to end without a press";
}

TEST(FormMenu, RightReleaseOpensTheMenuAtThePointerWhereTheControlHasOne) {
    TestForm t;
    t.Backend.Position = {300, 400};
    t.Backend.PopupChoice = 0;
    t.TheForm.MouseDown(MouseButton::Right, {12, 12});
    t.TheForm.MouseUp(MouseButton::Right, {13, 14});
    ASSERT_EQ(t.Backend.Menus.size(), 1u);
    EXPECT_EQ(t.Backend.Menus[0], (std::vector<std::string>{"Close"}));
    EXPECT_EQ(t.Backend.MenuPositions[0], (Point{313, 414})) << "screen coordinates";
    EXPECT_EQ(t.Events.back(), "menu") << "the chosen item runs after the release handler";
    EXPECT_EQ(t.Events[t.Events.size() - 2], "Low up R 3,4");

    t.Backend.PopupChoice = -1;
    t.Events.clear();
    t.TheForm.MouseUp(MouseButton::Right, {65, 65});  // the inert label
    t.TheForm.MouseUp(MouseButton::Right, {50, 50});  // the body, menu dismissed
    EXPECT_EQ(t.Backend.Menus.size(), 2u) << "no menu on the label, one on the body";
    EXPECT_EQ(t.Events, (std::vector<std::string>{"Body up R 50,50"}));

    // From the keyboard it opens below the display's left edge, its first item chosen.
    t.TheForm.Display.Bounds = {14, 43, 92, 33};
    t.Backend.PopupChoice = 0;
    t.Events.clear();
    t.TheForm.MenuKey();
    EXPECT_EQ(t.Backend.MenuPositions.back(), (Point{314, 476}));
    EXPECT_EQ(t.Backend.MenusFromKeyboard, (std::vector<bool>{false, false, true}));
    EXPECT_EQ(t.Events, (std::vector<std::string>{"menu"}));
}

TEST(FormCursor, EachControlShowsItsCursorWhenThePointerEntersIt) {
    TestForm t;
    const std::vector<std::pair<Point, PointerShape>> path = {{{50, 50}, PointerShape::SizeAll},
                                                              {{12, 12}, PointerShape::Hand},
                                                              {{65, 65}, PointerShape::Arrow},
                                                              {{200, 200}, PointerShape::Arrow}};
    for (const auto& [point, cursor] : path) {
        t.TheForm.MouseMove(point);
        EXPECT_EQ(t.Backend.CurrentCursor, cursor) << "at " << TestForm::Text(point);
    }
}

// The release of a press that wandered onto another control hands the cursor and the hint to
// that control at once, not at the next move.
TEST(FormCursor, AReleaseOverAnotherControlTakesItsCursorAndHint) {
    TestForm t;
    t.TheForm.MouseMove({12, 12});
    t.TheForm.MouseDown(MouseButton::Left, {12, 12});
    t.TheForm.MouseMove({50, 50});
    EXPECT_EQ(t.Backend.CurrentCursor, PointerShape::Hand) << "captured: the cursor stays";
    t.TheForm.MouseUp(MouseButton::Left, {50, 50});
    EXPECT_EQ(t.Backend.CurrentCursor, PointerShape::SizeAll);
    EXPECT_TRUE(t.Backend.TimerRunning(FormTimer::HintShow)) << "the body's hint is on its way";
}

TEST(FormHint, ShowsAfterRestingAndHidesLater) {
    TestForm t;
    t.Backend.Position = {100, 100};
    t.TheForm.MouseMove({12, 40});
    EXPECT_EQ(t.Backend.RunningTimers[FormTimer::HintShow], 500);
    t.TheForm.MouseMove({13, 40});  // moving restarts the rest
    EXPECT_TRUE(t.Backend.TimerRunning(FormTimer::HintShow));
    t.TheForm.Timer(FormTimer::HintShow);
    EXPECT_EQ(t.Backend.HintShown, "high hint");
    EXPECT_EQ(t.Backend.HintPosition, (Point{113, 140}));
    EXPECT_EQ(t.Backend.RunningTimers[FormTimer::HintHide], 2500);
    EXPECT_FALSE(t.Backend.TimerRunning(FormTimer::HintShow));
    t.TheForm.Timer(FormTimer::HintHide);
    EXPECT_EQ(t.Backend.HintShown, "");
    t.TheForm.MouseMove({14, 40});
    EXPECT_FALSE(t.Backend.TimerRunning(FormTimer::HintShow))
        << "a hint shows once per visit to its control";
}

TEST(FormHint, LeavingPressingOrAControlWithoutHintEndsIt) {
    TestForm t;
    t.TheForm.MouseMove({12, 40});
    t.TheForm.Timer(FormTimer::HintShow);
    t.TheForm.MouseMove({12, 12});  // Low has no hint
    EXPECT_EQ(t.Backend.HintShown, "");
    EXPECT_FALSE(t.Backend.TimerRunning(FormTimer::HintShow));

    t.TheForm.MouseMove({50, 50});
    t.TheForm.MouseDown(MouseButton::Left, {50, 50});
    EXPECT_FALSE(t.Backend.TimerRunning(FormTimer::HintShow)) << "a press cancels the wait";
    t.TheForm.MouseUp(MouseButton::Left, {50, 50});
    t.TheForm.Timer(FormTimer::HintShow);
    EXPECT_EQ(t.Backend.HintShown, "") << "a late tick shows nothing";

    t.TheForm.MouseMove({12, 40});
    t.TheForm.Timer(FormTimer::HintShow);
    t.TheForm.MouseLeave();
    EXPECT_EQ(t.Backend.HintShown, "");
    EXPECT_FALSE(t.Backend.TimerRunning(FormTimer::HintHide));
}

TEST(FormScale, EdgesFontsAndPictureScaleByTheMeasuredHeight) {
    RecordingBackend backend;
    backend.Factor = {16, Form::DesignTextHeight};
    Form form(backend, "Test", 126, 224,
              {{.Name = "Skin", .Kind = ControlKind::Picture},
               {.Name = "Key", .Bounds = {8, 191, 26, 21}},
               {.Name = "Text",
                .Kind = ControlKind::Label,
                .Bounds = {14, 59, 80, 17},
                .DigitHeight = 11}},
              PlainPicture(126, 224));
    form.Scale();
    // 126 * 16 / 13 = 155.08; 191 * 16 / 13 = 235.08; (8 + 26) * 16 / 13 = 41.8
    EXPECT_EQ(backend.ClientWidth, 155);
    EXPECT_EQ(backend.ClientHeight, 276);
    EXPECT_EQ(form.ControlNamed("Key").Bounds, (Rect{10, 235, 32, 26}));
    EXPECT_EQ(form.ControlNamed("Text").Bounds, (Rect{17, 73, 99, 21}));
    EXPECT_EQ(form.ControlNamed("Text").DigitHeight, 14);
    EXPECT_EQ(form.Skin().Width, 155);
    EXPECT_EQ(form.Skin().Height, 276);
    EXPECT_EQ(backend.KeyedPicture.Width, 155) << "the key applies to the scaled picture";
    EXPECT_EQ(backend.Key, (Colour{255, 255, 255}));

    // The design's own height, and a measurement that failed, leave the design as it is.
    RecordingBackend standard;
    for (const int measured : {Form::DesignTextHeight, 0, -4}) {
        standard.Factor = {measured, Form::DesignTextHeight};
        Form unscaled(standard, "Test", 126, 224, {{.Name = "Key", .Bounds = {8, 191, 26, 21}}},
                      PlainPicture(126, 224));
        unscaled.Scale();
        EXPECT_EQ(standard.ClientWidth, 126) << "measured " << measured;
        EXPECT_EQ(standard.ClientHeight, 224) << "measured " << measured;
        EXPECT_EQ(unscaled.ControlNamed("Key").Bounds, (Rect{8, 191, 26, 21}))
            << "measured " << measured;
    }
}

TEST(FormScale, RoundedMulDivRoundsHalfAwayFromZero) {
    const struct {
        int Value, Numerator, Denominator, Expected;
    } cases[] = {{13, 16, 13, 16}, {1, 1, 2, 1},  {3, 1, 2, 2},       {-1, 1, 2, -1},
                 {-3, 1, 2, -2},   {0, 5, 13, 0}, {224, 10, 13, 172}, {225, 20, 13, 346}};
    for (const auto& c : cases) {
        EXPECT_EQ(RoundedMulDiv(c.Value, c.Numerator, c.Denominator), c.Expected)
            << c.Value << " * " << c.Numerator << " / " << c.Denominator;
    }
}

// Events reach the form through RunGuarded, as a backend delivers every native event.
TEST(FormGuard, AnEscapingExceptionIsShownAndTheFormCarriesOn) {
    TestForm t;
    Form& form = t.TheForm;
    form.ControlNamed("Low").OnMouseDown = [](MouseButton, Point) {
        throw std::runtime_error("Zugriff verweigert");
    };
    form.RunGuarded([&] { form.MouseDown(MouseButton::Left, {12, 12}); });
    ASSERT_EQ(t.Backend.Messages.size(), 1u);
    EXPECT_EQ(t.Backend.Messages[0].first, "Zugriff verweigert.");
    EXPECT_EQ(t.Backend.Messages[0].second, "Test");
    EXPECT_FALSE(t.Backend.Captured) << "the capture is cancelled before the box shows";

    form.Handlers.OnKeyPress = [](char32_t) { throw 42; };
    form.RunGuarded([&] { form.CharTyped(U'1'); });
    EXPECT_EQ(t.Backend.Messages.back().first, "") << "a thrown non-error has an empty text";

    form.MouseDown(MouseButton::Left, {12, 40});
    form.MouseUp(MouseButton::Left, {12, 40});
    EXPECT_EQ(t.Events.back(), "High up L 2,11") << "later events are handled as usual";
}

class ThrowingPainter : public FormPainter {
public:
    void DrawPicture(const Picture&, Point) override { throw std::runtime_error("kein Bild"); }
    void DrawLabel(const std::string&, const Rect&, TextAlignment, int,
                   std::optional<Colour>) override {}
    int TextWidth(const std::string&, int) override { return 0; }
    void DrawRectangle(const Rect&, Colour, Colour, int) override {}
};

// Not only handlers: a paint, a timer and a backend call made for an event are shown in the box
// too, and nothing leaves the guard, not even the box failing.
TEST(FormGuard, PaintsTimersAndBackendCallsAreGuardedToo) {
    TestForm t;
    Form& form = t.TheForm;
    ThrowingPainter painter;
    form.RunGuarded([&] { form.Paint(painter); });
    t.Backend.FailingCall = "ShowHint";
    form.MouseMove({12, 40});
    form.RunGuarded([&] { form.Timer(FormTimer::HintShow); });
    t.Backend.FailingCall = "SetOpacity";
    form.Handlers.OnActivate = [&form] { form.SetOpacity(255); };
    form.RunGuarded([&] { form.Activate(); });
    form.RunGuarded([] { throw std::length_error("zu lang"); });
    std::vector<std::string> texts;
    for (const auto& [text, caption] : t.Backend.Messages) {
        texts.push_back(text);
        EXPECT_EQ(caption, "Test");
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"kein Bild.", "ShowHint failed.",
                                               "SetOpacity failed.", "zu lang."}));

    t.Backend.FailingCall = "ShowErrorMessage";
    EXPECT_NO_THROW(form.RunGuarded([] { throw std::runtime_error("und die Box auch"); }));
    EXPECT_EQ(t.Backend.Messages.size(), 4u);
}

// A close asked for inside a nested loop ends the loop, closes once it has returned, and
// happens once.
TEST(FormClose, ACloseInsideTheMenuOrAMessageBoxEndsItsLoopFirst) {
    TestForm t;
    t.TheForm.PopupMenu = {{"Close", [&t] { t.TheForm.Close(); }}};
    t.Backend.PopupChoice = 0;
    int closesInside = -1;
    t.Backend.InsideNestedLoop = [&] {
        t.TheForm.Close();
        closesInside = t.Backend.Closes;
    };
    t.TheForm.MouseUp(MouseButton::Right, {50, 50});
    EXPECT_EQ(closesInside, 0);
    EXPECT_EQ(t.Backend.NestedLoopEnds, 1) << "the menu was asked to end";
    EXPECT_EQ(t.Backend.Closes, 1) << "the chosen item's close adds nothing";

    TestForm boxed;
    boxed.TheForm.Handlers.OnKeyPress = [](char32_t) { throw std::runtime_error("x"); };
    boxed.Backend.InsideNestedLoop = [&] {
        boxed.TheForm.Close();
        closesInside = boxed.Backend.Closes;
    };
    boxed.TheForm.RunGuarded([&] { boxed.TheForm.CharTyped(U'1'); });
    EXPECT_EQ(closesInside, 0);
    EXPECT_EQ(boxed.Backend.NestedLoopEnds, 1) << "the box was asked to end";
    EXPECT_EQ(boxed.Backend.Closes, 1);

    boxed.TheForm.Close();
    EXPECT_EQ(boxed.Backend.NestedLoopEnds, 1) << "outside a loop there is none to end";
}

// A menu or a box that fails still ends its loop: a close after it is not put off for ever.
TEST(FormClose, ALoopThatFailsStillEnds) {
    for (const std::string failing : {"ShowPopupMenu", "ShowErrorMessage"}) {
        TestForm t;
        t.Backend.FailingCall = failing;
        t.TheForm.RunGuarded([&] {
            t.TheForm.MouseUp(MouseButton::Right, {50, 50});
            t.TheForm.ShowMessage("Hinweis", "Test");
        });
        t.TheForm.Close();
        EXPECT_EQ(t.Backend.Closes, 1) << failing << " threw";
    }
}

// Until the user's first press the window belongs where the form placed it: a window manager's
// move is undone, once; after a press no move is.
TEST(FormPlacement, AWindowManagersMoveIsUndoneOnlyBeforeTheFirstPress) {
    TestForm t;
    t.TheForm.Handlers.OnShow = [&t] { t.TheForm.MoveWindow({-40, 700}); };
    t.TheForm.Show();
    t.Backend.Position = {0, 700};  // pulled onto the screen
    t.TheForm.WindowMoved();
    EXPECT_EQ(t.Backend.Position, (Point{-40, 700}));
    t.Backend.Position = {0, 700};
    t.TheForm.WindowMoved();
    EXPECT_EQ(t.Backend.Position, (Point{0, 700})) << "undone once only";

    TestForm pressed;
    pressed.TheForm.Show();
    pressed.TheForm.MouseDown(MouseButton::Left, {50, 50});
    pressed.Backend.Position = {30, 30};
    pressed.TheForm.WindowMoved();
    EXPECT_EQ(pressed.Backend.Moves.size(), 0u) << "the user's drag stands";

    TestForm unmoved;
    unmoved.TheForm.Show();
    unmoved.TheForm.WindowMoved();
    EXPECT_EQ(unmoved.Backend.Moves.size(), 0u) << "a window where it belongs is left alone";
}

TEST(FormLifetime, TheBackendKnowsTheFormOnlyWhileItLives) {
    RecordingBackend backend;
    {
        Form form(backend, "Test", 10, 10, {}, PlainPicture(10, 10));
        EXPECT_EQ(backend.Attached, &form);
        form.StartCloseTimer(200);
    }
    EXPECT_EQ(backend.Attached, nullptr);
    EXPECT_TRUE(backend.RunningTimers.empty()) << "no timer outlives the form";
}

TEST(FormGuard, ExceptionTextGetsAFullStopOnlyAfterCharactersAboveIt) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"Fehler", "Fehler."},
        {"Fehler.", "Fehler."},
        {"Ende!", "Ende!"},
        {"Wert 5", "Wert 5."},
        {"a-", "a-"},
        {"Gr\xC3\xB6\xC3\x9F"
         "e",
         "Gr\xC3\xB6\xC3\x9F"
         "e."},
        {"\xC3\xBC", "\xC3\xBC."},
        {"/", "/."},
    };
    for (const auto& [message, expected] : cases) {
        EXPECT_EQ(ExceptionMessageText(std::make_exception_ptr(std::runtime_error(message))),
                  expected)
            << "message \"" << message << "\"";
    }
}

TEST(FormGuard, RunningOutOfMemoryIsToldInGermanAndANonErrorHasNoText) {
    const std::pair<std::exception_ptr, std::string> cases[] = {
        {std::make_exception_ptr(std::bad_alloc()), "Nicht genug Arbeitsspeicher."},
        {std::make_exception_ptr(std::bad_array_new_length()), "Nicht genug Arbeitsspeicher."},
        {std::make_exception_ptr(42), ""},
        {std::make_exception_ptr(std::string("kein Fehlerobjekt")), ""},
    };
    for (const auto& [error, expected] : cases) {
        EXPECT_EQ(ExceptionMessageText(error), expected);
    }
    // Through the form's guard, as an allocation failing in any handler reaches it.
    TestForm t;
    t.TheForm.Handlers.OnKeyPress = [](char32_t) { throw std::bad_alloc(); };
    t.TheForm.RunGuarded([&t] { t.TheForm.CharTyped(U'1'); });
    ASSERT_EQ(t.Backend.Messages.size(), 1u);
    EXPECT_EQ(t.Backend.Messages[0].first, "Nicht genug Arbeitsspeicher.");
}

TEST(FormLabels, CaptionChangesRepaintOnlyTheirLabel) {
    TestForm t;
    t.TheForm.SetCaption("Inert", "x");
    EXPECT_TRUE(t.Backend.Invalidated.empty()) << "an unchanged caption repaints nothing";
    t.TheForm.SetCaption("Inert", "y");
    EXPECT_EQ(t.Backend.Invalidated, (std::vector<Rect>{{60, 60, 20, 20}}));
    EXPECT_THROW(t.TheForm.SetCaption("Missing", "z"), std::out_of_range);
}

TEST(FormOpacity, RepeatingTheCurrentOpacityDoesNothing) {
    TestForm t;
    for (int alpha : {220, 255, 255, 155, 155, 255}) {
        t.TheForm.SetOpacity(alpha);
    }
    EXPECT_EQ(t.Backend.OpacityRequests, (std::vector<int>{220, 255, 155, 255}));
}

}  // namespace

TEST(FormScale, ScalingAgainStartsFromTheDesignAndMovesTheWindowByItsNearCorner) {
    RecordingBackend backend;
    Form form(backend, "Test", 126, 224,
              {{.Name = "Skin", .Kind = ControlKind::Picture},
               {.Name = "Key", .Bounds = {9, 149, 26, 21}, .Hint = "vier"}},
              PlainPicture(126, 224));
    std::vector<ScaleFactor> skinScales;
    form.SkinAtScale = [&](ScaleFactor factor) {
        skinScales.push_back(factor);
        return PlainPicture(RoundedMulDiv(126, factor.Numerator, factor.Denominator),
                            RoundedMulDiv(224, factor.Numerator, factor.Denominator));
    };
    form.Scale();
    // Flush with the right edge of the screen, as the window is placed at first.
    backend.Position = {1920 - 126, 100};
    // Through 1.25, 1.75 and back: each result is the design's, never a scaled scaling.
    const struct {
        ScaleFactor Factor;
        Rect Key;
        Point Client;
    } steps[] = {{{120, 96}, {11, 186, 33, 27}, {158, 280}},
                 {{168, 96}, {16, 261, 45, 37}, {221, 392}},
                 {{96, 96}, {9, 149, 26, 21}, {126, 224}}};
    for (const auto& step : steps) {
        const Rect key = form.ControlNamed("Key").Bounds;
        form.MouseMove({key.Left + 2, key.Top + 2});
        ASSERT_TRUE(backend.TimerRunning(FormTimer::HintShow));
        backend.Invalidated.clear();
        form.ScaleChanged(step.Factor);
        EXPECT_EQ(form.ControlNamed("Key").Bounds, step.Key);
        EXPECT_EQ((Point{backend.ClientWidth, backend.ClientHeight}), step.Client);
        EXPECT_EQ(backend.KeyedPicture.Width, step.Client.X) << "the shape follows";
        EXPECT_EQ(backend.Invalidated, (std::vector<Rect>{{0, 0, step.Client.X, step.Client.Y}}));
        EXPECT_FALSE(backend.TimerRunning(FormTimer::HintShow)) << "no hint of the old size";
        EXPECT_EQ(backend.Position, (Point{1920 - step.Client.X, 100})) << "still flush right";
        form.MouseLeave();
    }
    // The same factor again changes nothing and moves nothing.
    const std::size_t moves = backend.Moves.size();
    form.ScaleChanged({96, 96});
    EXPECT_EQ(backend.Moves.size(), moves);
    // Drawn for each scale but the design's, whose picture the form already holds.
    EXPECT_EQ(skinScales, (std::vector<ScaleFactor>{{120, 96}, {168, 96}}));

    // A monitor went: the window comes back wholly onto the one that is left; on it, it stays.
    backend.Layout.Monitors = {{0, 0, 1280, 1024}};
    form.ScreensChanged();
    EXPECT_EQ(backend.Position, (Point{1280 - 126, 100}));
    form.ScreensChanged();
    EXPECT_EQ(backend.Moves.size(), moves + 1);
}

TEST(FormScale, TheWindowFitsItsMonitorsWorkAreaAndNeverShrinksBelowTheDesign) {
    RecordingBackend backend;
    // Two monitors side by side; the right one is small and its panel takes 30 rows.
    backend.Layout.Monitors = {{0, 0, 1920, 1080}, {1920, 0, 800, 600}};
    backend.Layout.WorkAreas = {{0, 0, 1920, 1080}, {1920, 30, 800, 570}};
    Form form(backend, "Test", 126, 224, {{.Name = "Key", .Bounds = {9, 149, 26, 21}}},
              PlainPicture(126, 224));
    form.Scale();
    const struct {
        const char* Case;
        ScaleFactor Wanted;
        std::optional<Rect> Suggested;
        Point Client;
        Point Position;
    } steps[] = {
        {"960 dpi for 96: as large as the work area lets it be",
         {960, 96},
         {},
         {608, 1080},
         {0, 0}},
        {"a quarter: the design's size", {24, 96}, {}, {126, 224}, {0, 0}},
        {"twice, as asked", {192, 96}, {}, {252, 448}, {0, 0}},
        {"moved onto the small monitor at the system's suggested place",
         {192, 96},
         Rect{2000, 100, 252, 448},
         {252, 448},
         {2000, 100}},
        {"four times there: limited by its work area, wholly on it",
         {384, 96},
         Rect{2000, 100, 504, 896},
         {321, 570},
         {2000, 30}},
    };
    for (const auto& step : steps) {
        form.ScaleChanged(step.Wanted, step.Suggested);
        EXPECT_EQ((Point{backend.ClientWidth, backend.ClientHeight}), step.Client) << step.Case;
        EXPECT_EQ(backend.Position, step.Position) << step.Case;
        const Rect key = form.ControlNamed("Key").Bounds;
        EXPECT_LE(key.Bottom(), step.Client.Y) << step.Case << ": every key within the window";
    }
}

TEST(FormLabels, ANumberWiderThanItsLabelIsDrawnSmallerUntilItFits) {
    RecordingBackend backend;
    Form form(backend, "Test", 126, 224,
              {{.Name = "Entry",
                .Kind = ControlKind::Label,
                .Bounds = {14, 59, 80, 17},
                .DigitHeight = 8}},
              PlainPicture(126, 224));
    form.Scale();
    // The recording painter's characters are three fifths of the digit height wide.
    const struct {
        const char* Caption;
        int DigitHeight;
    } cases[] = {
        {"0,", 8},
        {"1234567890123456", 8},                     // 76 pixels at 8: fits
        {"123456789012,3456", 7},                    // 81 at 8, 71 at 7
        {"-123456789012345,1234", 6},                // 88 at 7, 75 at 6
        {"12345678901234567890123456789012345", 5},  // never fits: no smaller than 60 %
    };
    for (const auto& c : cases) {
        form.SetCaption("Entry", c.Caption);
        RecordingPainter painter;
        form.Paint(painter);
        ASSERT_EQ(painter.Texts.size(), 1u);
        EXPECT_EQ(painter.Texts[0].Text, c.Caption) << "the whole text, never cut";
        EXPECT_EQ(painter.Texts[0].DigitHeight, c.DigitHeight) << c.Caption;
    }
}
