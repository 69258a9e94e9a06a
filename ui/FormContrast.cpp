// The form in the desktop's high-contrast mode: the skin gives way to a face drawn from the
// controls in the system's colours, the window becomes opaque and loses its see-through colour,
// and everything the controls do stays as it is; see Form.h.
#include "Form.h"

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

void Form::PaintFromControls(FormPainter& painter, const SystemColours& colours) const {
    // Frames grow with the form: one pixel at the design's size, two at twice the size.
    const ScaleFactor factor = Scaling();
    const int frame = std::max(1, RoundedMulDiv(1, factor.Numerator, factor.Denominator));
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

    for (const Control& control : controls_) {
        if (control.Kind == ControlKind::Label) {
            painter.DrawLabel(control.Caption, control.Bounds, control.Alignment,
                              control.FontHeight, colours.WindowText);
        } else if (control.Kind == ControlKind::Surface && !control.FaceText.empty()) {
            const bool pressed = &control == pressedKey_;
            painter.DrawRectangle(control.Bounds, pressed ? colours.Highlight : colours.ButtonFace,
                                  colours.WindowText, frame);
            painter.DrawLabel(control.FaceText, control.Bounds, TextAlignment::Center,
                              control.FontHeight,
                              pressed ? colours.HighlightText : colours.ButtonText);
        }
    }
}
