// The form in the desktop's high-contrast mode, on a small synthetic form: the colour key and the
// opacity rule give way and come back, the face drawn from the controls, the pressed key, and
// the behaviour that stays the same.

#include <gtest/gtest.h>

#include <vector>

#include "Form.h"
#include "RecordingBackend.h"
#include "RecordingPainter.h"

namespace {

constexpr SystemColours Scheme{.Window = {1, 1, 1},
                               .WindowText = {2, 2, 2},
                               .ButtonFace = {3, 3, 3},
                               .ButtonText = {4, 4, 4},
                               .Highlight = {5, 5, 5},
                               .HighlightText = {6, 6, 6}};

// A body, two keys that share a pixel row, a key surface without face text and two labels.
struct ContrastForm {
    RecordingBackend Backend;
    Form TheForm;
    int Clicks = 0;

    explicit ContrastForm(std::optional<SystemColours> atStart = std::nullopt)
        : ContrastForm(atStart, Form::DesignTextHeight) {}
    ContrastForm(std::optional<SystemColours> atStart, int zeroHeight)
        : Backend(WithContrast(atStart, zeroHeight)),
          TheForm(Backend, "Test", 100, 120, Controls(),
                  {100, 120, std::vector<std::uint8_t>(100 * 120 * 3, 200)}) {
        TheForm.ControlNamed("Seven").OnClick = [this] { ++Clicks; };
        TheForm.Scale();
    }

    static RecordingBackend WithContrast(std::optional<SystemColours> colours, int zeroHeight) {
        RecordingBackend backend;
        backend.Contrast = colours;
        backend.Factor = {zeroHeight, Form::DesignTextHeight};
        return backend;
    }
    static std::vector<Control> Controls() {
        return {
            {.Name = "Skin", .Kind = ControlKind::Picture},
            {.Name = "Body", .Bounds = {0, 0, 103, 121}},
            {.Name = "Seven", .Bounds = {10, 60, 26, 21}, .FaceText = "7", .DigitHeight = 11},
            {.Name = "Divide",
             .Bounds = {10, 80, 26, 21},
             .FaceText = "\xC3\xB7",
             .DigitHeight = 11},
            {.Name = "Hidden", .Bounds = {50, 60, 26, 21}},
            {.Name = "Entry",
             .Kind = ControlKind::Label,
             .Bounds = {14, 30, 60, 17},
             .Caption = "12",
             .DigitHeight = 11},
            {.Name = "Operator",
             .Kind = ControlKind::Label,
             .Bounds = {74, 20, 12, 17},
             .Caption = "+",
             .Alignment = TextAlignment::Center,
             .DigitHeight = 11},
        };
    }
    RecordingPainter Paint() {
        RecordingPainter painter;
        TheForm.Paint(painter);
        return painter;
    }
};

TEST(FormContrast, SwitchingReplacesTheKeyAndTheOpacityRuleAndSwitchingBackRestoresThem) {
    ContrastForm t;
    t.TheForm.SetOpacity(220);
    t.TheForm.SetOpacity(255);
    EXPECT_TRUE(t.Backend.ColourKeyOn);
    EXPECT_FALSE(t.TheForm.HighContrast());

    t.Backend.Contrast = Scheme;
    t.TheForm.ContrastChanged();
    EXPECT_TRUE(t.TheForm.HighContrast());
    EXPECT_FALSE(t.Backend.ColourKeyOn) << "white is a colour of the face, so no colour is keyed";
    EXPECT_EQ(t.Backend.Invalidated.back(), (Rect{0, 0, 100, 120})) << "the whole face repaints";
    // Deactivation asks for 155 and activation for 255; the window stays opaque throughout.
    t.TheForm.SetOpacity(155);
    t.TheForm.SetOpacity(255);
    t.TheForm.SetOpacity(155);
    EXPECT_EQ(t.Backend.OpacityRequests, (std::vector<int>{220, 255}))
        << "nothing beyond opaque while in high contrast";

    // A change of colours within high contrast repaints; a notification without one does not.
    SystemColours other = Scheme;
    other.Window = {9, 9, 9};
    t.Backend.Contrast = other;
    t.Backend.Invalidated.clear();
    t.TheForm.ContrastChanged();
    EXPECT_EQ(t.Backend.Invalidated.size(), 1u) << "new colours repaint";
    EXPECT_EQ(t.Paint().Rectangles.front().Fill, (Colour{9, 9, 9}));
    t.Backend.Invalidated.clear();
    t.TheForm.ContrastChanged();
    EXPECT_TRUE(t.Backend.Invalidated.empty()) << "the same colours again repaint nothing";

    t.Backend.Contrast.reset();
    t.TheForm.ContrastChanged();
    EXPECT_TRUE(t.Backend.ColourKeyOn) << "the holes come back with the skin";
    EXPECT_EQ(t.Backend.Key, (Colour{255, 255, 255}));
    EXPECT_EQ(t.Backend.KeyedPicture.Width, 100);
    EXPECT_EQ(t.Backend.OpacityRequests, (std::vector<int>{220, 255, 155}))
        << "the opacity asked for last, while another application was active";
    EXPECT_EQ(t.Paint().Pictures, 1) << "the skin shows again";
}

TEST(FormContrast, ADesktopInHighContrastAtStartGetsTheOpaqueFaceFromTheFirstPaint) {
    ContrastForm t(Scheme);
    EXPECT_TRUE(t.TheForm.HighContrast());
    EXPECT_FALSE(t.Backend.ColourKeyOn);
    t.TheForm.SetOpacity(220);
    EXPECT_EQ(t.Backend.OpacityRequests, (std::vector<int>{255}));
    const RecordingPainter painter = t.Paint();
    EXPECT_EQ(painter.Pictures, 0) << "no skin in high contrast";
    EXPECT_FALSE(painter.Rectangles.empty());

    t.Backend.Contrast.reset();
    t.TheForm.ContrastChanged();
    EXPECT_EQ(t.Backend.OpacityRequests, (std::vector<int>{255, 220}))
        << "back in the skin, the start's translucency applies";
}

TEST(FormContrast, TheFaceIsDrawnFromTheControlsInTheSystemsColours) {
    ContrastForm t(Scheme);
    const RecordingPainter painter = t.Paint();
    ASSERT_FALSE(painter.Rectangles.empty());
    const DrawnRectangle& ground = painter.Rectangles.front();
    EXPECT_EQ(ground.Box, (Rect{0, 0, 100, 120})) << "the window's ground comes first";
    EXPECT_EQ(ground.Fill, Scheme.Window);

    // The display: one frame around both labels, two pixels away from them.
    const DrawnRectangle* display = painter.RectangleOn({12, 18, 76, 31});
    ASSERT_NE(display, nullptr) << "a frame around the labels' rectangle 14,20 to 86,47";
    EXPECT_EQ(display->Fill, Scheme.Window);
    EXPECT_EQ(display->Frame, Scheme.WindowText);
    EXPECT_EQ(display->FrameWidth, 1);
    for (const char* label : {"Entry", "Operator"}) {
        const Control& control = t.TheForm.ControlNamed(label);
        const DrawnText* text = painter.TextOn(control.Bounds);
        ASSERT_NE(text, nullptr) << label;
        EXPECT_EQ(text->Text, control.Caption) << label;
        EXPECT_EQ(text->Alignment, control.Alignment) << label;
        EXPECT_EQ(text->TextColour, Scheme.WindowText) << label;
    }

    for (const char* key : {"Seven", "Divide"}) {
        const Control& control = t.TheForm.ControlNamed(key);
        const DrawnRectangle* face = painter.RectangleOn(control.Bounds);
        ASSERT_NE(face, nullptr) << key;
        EXPECT_EQ(face->Fill, Scheme.ButtonFace) << key;
        EXPECT_EQ(face->Frame, Scheme.WindowText) << key;
        const DrawnText* text = painter.TextOn(control.Bounds);
        ASSERT_NE(text, nullptr) << key;
        EXPECT_EQ(text->Text, control.FaceText) << key;
        EXPECT_EQ(text->Alignment, TextAlignment::Center) << key;
        EXPECT_EQ(text->DigitHeight, 13) << key << ": two thirds of the key";
        EXPECT_EQ(text->TextColour, Scheme.ButtonText) << key;
    }
    EXPECT_EQ(painter.RectangleOn(t.TheForm.ControlNamed("Hidden").Bounds), nullptr)
        << "a surface without face text is not drawn";
    EXPECT_EQ(painter.RectangleOn(t.TheForm.ControlNamed("Body").Bounds), nullptr);
    EXPECT_EQ(painter.Texts.size(), 4u) << "two labels and two keys";
}

TEST(FormContrast, TheFaceScalesWithTheForm) {
    ContrastForm t(Scheme, 2 * Form::DesignTextHeight);
    const RecordingPainter painter = t.Paint();
    const Control& seven = t.TheForm.ControlNamed("Seven");
    EXPECT_EQ(seven.Bounds, (Rect{20, 120, 50, 39})) << "a grid cell less a frame's gap";
    const DrawnRectangle* face = painter.RectangleOn(seven.Bounds);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->FrameWidth, 2) << "frames grow with the form";
    EXPECT_EQ(painter.TextOn(seven.Bounds)->DigitHeight, 26);
    EXPECT_NE(painter.RectangleOn({24, 36, 152, 62}), nullptr)
        << "the display frame keeps two frames' margin";
}

TEST(FormContrast, AKeyShowsPressedWhileTheLeftPressHoldsItAndThePointerIsOnIt) {
    ContrastForm t(Scheme);
    const Rect seven = t.TheForm.ControlNamed("Seven").Bounds;
    auto pressedFill = [&] { return t.Paint().RectangleOn(seven)->Fill; };

    t.Backend.Invalidated.clear();
    t.TheForm.MouseDown(MouseButton::Left, {20, 70});
    EXPECT_EQ(t.Backend.Invalidated, (std::vector<Rect>{seven})) << "the press repaints the key";
    EXPECT_EQ(pressedFill(), Scheme.Highlight);
    EXPECT_EQ(t.Paint().TextOn(seven)->TextColour, Scheme.HighlightText);

    t.TheForm.MouseMove({60, 10});
    EXPECT_EQ(pressedFill(), Scheme.ButtonFace) << "pointer moved off the held key";
    t.TheForm.MouseMove({21, 71});
    EXPECT_EQ(pressedFill(), Scheme.Highlight) << "and back onto it";
    t.Backend.Invalidated.clear();
    t.TheForm.MouseMove({22, 72});
    EXPECT_TRUE(t.Backend.Invalidated.empty()) << "moving on the pressed key repaints nothing";

    t.TheForm.MouseUp(MouseButton::Left, {22, 72});
    EXPECT_EQ(t.Clicks, 1) << "the key still clicks";
    EXPECT_EQ(pressedFill(), Scheme.ButtonFace) << "released";

    t.TheForm.MouseDown(MouseButton::Left, {20, 70});
    t.TheForm.CaptureLost();
    EXPECT_EQ(pressedFill(), Scheme.ButtonFace) << "a lost capture ends the pressed look";
    EXPECT_EQ(t.Clicks, 1);

    t.TheForm.MouseDown(MouseButton::Right, {20, 70});
    EXPECT_EQ(pressedFill(), Scheme.ButtonFace) << "only a left press presses a key";
    t.TheForm.MouseUp(MouseButton::Right, {20, 70});

    // Switching back in the middle of a press leaves no pressed look behind, and in the skin a
    // press repaints nothing.
    t.TheForm.MouseDown(MouseButton::Left, {20, 70});
    t.Backend.Contrast.reset();
    t.TheForm.ContrastChanged();
    t.Backend.Invalidated.clear();
    t.TheForm.MouseMove({60, 10});
    t.TheForm.MouseMove({20, 70});
    t.TheForm.MouseUp(MouseButton::Left, {20, 70});
    EXPECT_TRUE(t.Backend.Invalidated.empty()) << "a press in the skin repaints nothing";
    EXPECT_EQ(t.Clicks, 2);
}

}  // namespace
