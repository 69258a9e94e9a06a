// The form in the desktop's high-contrast mode: the skin gives way to a face drawn from the
// controls in the system's colours, the window becomes opaque and loses its see-through colour,
// and everything the controls do stays as it is; see Form.h.
#include "Form.h"

#include "KeyGrid.h"

#include <algorithm>

void Form::ContrastChanged() {
    const std::optional<SystemColours> colours = backend_.HighContrastColours();
    if (colours == contrast_) {
        return;
    }
    const bool modeChanged = colours.has_value() != contrast_.has_value();
    contrast_ = colours;
    if (modeChanged) {
        // White is a colour of the high-contrast face, so the colour key must go with the skin;
        // back in the skin, the holes and the opacity rule return.
        ApplyColourKey();
        ApplyOpacity();
        CancelHint();
        PlaceKeys();
    }
    ShowPressedKey();
    backend_.Invalidate({0, 0, clientWidth_, clientHeight_});
}

void Form::ApplyColourKey() {
    if (contrast_) {
        backend_.RemoveColourKey();
    } else {
        backend_.SetColourKey(ColourKey, skin_);
    }
}

void Form::ApplyOpacity() {
    // A translucent window is hard to read, whichever application is active.
    const std::optional<int> alpha = contrast_ ? std::optional<int>(OpaqueAlpha) : opacity_;
    if (alpha && alpha != shownOpacity_) {
        shownOpacity_ = alpha;
        backend_.SetOpacity(*alpha);
    }
}

void Form::ShowPressedKey() {
    const Control* pressed = LeftPressed();
    const Control* shown = contrast_ && pressed != nullptr && !pressed->FaceText.empty() &&
                                   pressed->Bounds.Contains(lastPointer_)
                               ? pressed
                               : nullptr;
    if (shown != pressedKey_) {
        for (const Control* changed : {pressedKey_, shown}) {
            if (changed != nullptr) {
                backend_.Invalidate(changed->Bounds);
            }
        }
        pressedKey_ = shown;
    }
}

int Form::FrameWidth() const {
    const ScaleFactor factor = Scaling();
    return std::max(1, RoundedMulDiv(1, factor.Numerator, factor.Denominator));
}

void Form::PlaceKeys() {
    const ScaleFactor factor = Scaling();
    std::vector<Control*> keys;
    std::vector<Rect> rectangles;
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        Control& control = controls_[index];
        if (control.Kind == ControlKind::Surface && !control.FaceText.empty()) {
            control.Bounds = ScaledEdges(design_[index].first, factor);
            keys.push_back(&control);
            rectangles.push_back(control.Bounds);
        }
    }
    if (contrast_) {
        const std::vector<Rect> grid = AlignedKeyGrid(rectangles, FrameWidth());
        for (std::size_t index = 0; index < keys.size(); ++index) {
            keys[index]->Bounds = grid[index];
        }
    }
}

void Form::PaintFromControls(FormPainter& painter, const SystemColours& colours) const {
    const int frame = FrameWidth();
    painter.DrawRectangle({0, 0, clientWidth_, clientHeight_}, colours.Window, colours.Window, 0);

    // The display: one frame around the three labels, with a margin of two frames.
    bool anyLabel = false;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    for (const Control& control : controls_) {
        if (control.Kind == ControlKind::Label) {
            const Rect& b = control.Bounds;
            left = anyLabel ? std::min(left, b.Left) : b.Left;
            top = anyLabel ? std::min(top, b.Top) : b.Top;
            right = anyLabel ? std::max(right, b.Right()) : b.Right();
            bottom = anyLabel ? std::max(bottom, b.Bottom()) : b.Bottom();
            anyLabel = true;
        }
    }
    if (anyLabel) {
        const int margin = 2 * frame;
        painter.DrawRectangle(
            {left - margin, top - margin, right - left + 2 * margin, bottom - top + 2 * margin},
            colours.Window, colours.WindowText, frame);
    }

    // Every legend alike, two thirds of the height of a key of one row.
    int keyHeight = 0;
    for (const Control& control : controls_) {
        if (control.Kind == ControlKind::Surface && !control.FaceText.empty()) {
            keyHeight =
                keyHeight == 0 ? control.Bounds.Height : std::min(keyHeight, control.Bounds.Height);
        }
    }
    const int legendHeight = RoundedMulDiv(keyHeight, 2, 3);
    for (const Control& control : controls_) {
        if (control.Kind == ControlKind::Label) {
            DrawFittingLabel(painter, control.Caption, control.Bounds, control.Alignment,
                             control.DigitHeight, colours.WindowText);
        } else if (control.Kind == ControlKind::Surface && !control.FaceText.empty()) {
            const bool pressed = &control == pressedKey_;
            painter.DrawRectangle(control.Bounds, pressed ? colours.Highlight : colours.ButtonFace,
                                  colours.WindowText, frame);
            DrawFittingLabel(painter, control.FaceText, control.Bounds, TextAlignment::Center,
                             legendHeight, pressed ? colours.HighlightText : colours.ButtonText);
        }
    }
}
