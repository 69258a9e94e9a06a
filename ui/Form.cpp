// The form runtime: routing of native events to the topmost control, capture, clicks, context
// menu, cursors, hints, scaling, the placement a window manager may not undo, and the exception
// guard that every event passes once.

#include "Form.h"

#include "ScreenFit.h"
#include "TextFit.h"

#include <cstdint>
#include <exception>
#include <new>
#include <stdexcept>
#include <utility>

Rect ScaledEdges(const Rect& design, ScaleFactor factor) {
    const auto scale = [factor](int value) {
        return RoundedMulDiv(value, factor.Numerator, factor.Denominator);
    };
    const int left = scale(design.Left);
    const int top = scale(design.Top);
    return {left, top, scale(design.Right()) - left, scale(design.Bottom()) - top};
}

std::string ExceptionMessageText(const std::exception_ptr& error) {
    std::string message;
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        // The library's own text, "std::bad_alloc", tells a user nothing.
        return "Nicht genug Arbeitsspeicher.";
    } catch (const std::exception& thrown) {
        message = thrown.what();
    } catch (...) {
        // Something that is not an error object gets an empty text.
        return message;
    }
    // Compared as unsigned bytes: a message ending in a letter outside ASCII gets its full stop
    // too, as one ending in a plain letter does.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') {
        message += '.';
    }
    return message;
}

Form::Form(FormBackend& backend, std::string title, int clientWidth, int clientHeight,
           std::vector<Control> controls, Picture skin)
    : backend_(backend),
      title_(std::move(title)),
      designWidth_(clientWidth),
      designHeight_(clientHeight),
      clientWidth_(clientWidth),
      clientHeight_(clientHeight),
      controls_(std::move(controls)),
      designSkin_(std::move(skin)),
      skin_(designSkin_) {
    // A picture control takes the size of its picture.
    for (Control& control : controls_) {
        if (control.Kind == ControlKind::Picture) {
            control.Bounds.Width = skin_.Width;
            control.Bounds.Height = skin_.Height;
        }
        design_.emplace_back(control.Bounds, control.DigitHeight);
    }
    backend_.AttachForm(this);
    contrast_ = backend_.HighContrastColours();
    PlaceKeys();
}

Form::~Form() {
    for (const FormTimer timer : {FormTimer::Close, FormTimer::HintShow, FormTimer::HintHide}) {
        backend_.StopTimer(timer);
    }
    backend_.AttachForm(nullptr);
}

namespace {

// A factor that is not a positive ratio (a measurement that failed) leaves the design as it is.
ScaleFactor Usable(ScaleFactor factor) {
    return factor.Numerator > 0 && factor.Denominator > 0 ? factor : ScaleFactor{};
}

}  // namespace

Point Form::ScaledClientSize(ScaleFactor factor) const {
    factor = AtLeastDesign(Usable(factor));
    return {RoundedMulDiv(designWidth_, factor.Numerator, factor.Denominator),
            RoundedMulDiv(designHeight_, factor.Numerator, factor.Denominator)};
}

void Form::Scale() {
    const Point position = backend_.WindowPosition();
    ApplyScale(backend_.FormScale(), {position.X, position.Y, clientWidth_, clientHeight_});
}

void Form::ApplyScale(ScaleFactor wanted, const Rect& window) {
    ScaleFactor factor = Usable(wanted);
    if (const auto workArea = HomeWorkArea(window, backend_.Screens())) {
        factor = FittingScale(factor, {designWidth_, designHeight_}, *workArea);
    }
    if (scale_ == factor) {
        return;
    }
    const bool rescaling = scale_.has_value();
    if (!rescaling) {
        designDisplay_ = Display.Bounds;
    }
    scale_ = factor;
    // Always from the design's, so scaling back and forth never drifts.
    const Point client = ScaledClientSize(factor);
    clientWidth_ = client.X;
    clientHeight_ = client.Y;
    Display.Bounds = ScaledEdges(designDisplay_, factor);
    for (std::size_t index = 0; index < controls_.size(); ++index) {
        Control& control = controls_[index];
        const auto& [bounds, digitHeight] = design_[index];
        control.Bounds = ScaledEdges(bounds, factor);
        control.DigitHeight = RoundedMulDiv(digitHeight, factor.Numerator, factor.Denominator);
        if (control.Kind == ControlKind::Picture) {
            // The picture grows with the key rectangles, so the painted keys stay under their
            // click regions.
            const int width = control.Bounds.Width;
            const int height = control.Bounds.Height;
            skin_ = factor == ScaleFactor{} ? designSkin_
                    : SkinAtScale           ? SkinAtScale(factor)
                                            : ScalePicture(designSkin_, width, height);
        }
    }
    PlaceKeys();
    if (rescaling) {
        // A hint of the old size over a control that has moved would point at nothing.
        CancelHint();
    }
    backend_.SetClientSize(clientWidth_, clientHeight_);
    ApplyColourKey();
    if (rescaling) {
        backend_.Invalidate({0, 0, clientWidth_, clientHeight_});
    }
}

void Form::ScaleChanged(ScaleFactor factor, std::optional<Rect> suggested) {
    const Point position = backend_.WindowPosition();
    const Rect before =
        suggested.value_or(Rect{position.X, position.Y, clientWidth_, clientHeight_});
    ApplyScale(factor, before);
    if (suggested || clientWidth_ != before.Width || clientHeight_ != before.Height) {
        MoveWindow(ResizedPlace(before, clientWidth_, clientHeight_, backend_.Screens().Monitors));
    }
}

void Form::ScreensChanged() {
    const Point position = backend_.WindowPosition();
    if (const auto back = BackOnScreen({position.X, position.Y, clientWidth_, clientHeight_},
                                       backend_.Screens().Monitors)) {
        MoveWindow(*back);
    }
}

Control& Form::ControlNamed(const std::string& name) {
    for (Control& control : controls_) {
        if (control.Name == name) {
            return control;
        }
    }
    throw std::out_of_range("no control named " + name);
}

const Control& Form::ControlNamed(const std::string& name) const {
    return const_cast<Form*>(this)->ControlNamed(name);
}

void Form::SetCaption(const std::string& labelName, const std::string& caption) {
    Control& label = ControlNamed(labelName);
    if (label.Caption != caption) {
        const std::string spokenBefore = SpokenName(label);
        label.Caption = caption;
        backend_.Invalidate(label.Bounds);
        // Told once per change that a screen reader hears: "+" and "-" on the operator label
        // are two changes, a caption spoken alike is none.
        if (SpokenName(label) != spokenBefore) {
            TellAccessible(labelName, AccessibleChange::Name);
        }
    }
}

void Form::SetOpacity(int alpha) {
    opacity_ = alpha;
    ApplyOpacity();
}

void Form::Close() {
    CancelHint();
    if (nestedLoops_ > 0) {
        // The host may not wait for the user to answer: the menu or box ends now, and the
        // window closes as its loop returns.
        closeRequested_ = true;
        backend_.EndNestedLoops();
    } else if (!closed_) {
        closed_ = true;
        backend_.CloseWindow();
    }
}

Point Form::WindowPosition() {
    return backend_.WindowPosition();
}

void Form::MoveWindow(Point topLeft) {
    // Until the user's first press, a place the form chose is the one a window manager's move is
    // undone to, a rescaled or rescued window's included.
    if (placement_) {
        placement_ = topLeft;
    }
    backend_.MoveWindow(topLeft);
}

ScreenLayout Form::Screens() {
    return backend_.Screens();
}

void Form::StartCloseTimer(int intervalMilliseconds) {
    backend_.StartTimer(FormTimer::Close, intervalMilliseconds);
}

void Form::ShowMessage(const std::string& text, const std::string& caption) {
    InNestedLoop([&] {
        backend_.ShowErrorMessage(text, caption);
        return 0;
    });
}

void Form::CopyToClipboard(const std::string& text) {
    backend_.CopyToClipboard(text);
}

void Form::RequestClipboardText() {
    backend_.RequestClipboardText();
}

void Form::Show() {
    // Called by the backend's start of the loop rather than by an event, so it is its own guard.
    RunGuarded([&] {
        Call(Handlers.OnShow);
        placement_ = backend_.WindowPosition();
    });
}

void Form::WindowMoved() {
    if (placement_ && backend_.WindowPosition() != *placement_) {
        backend_.MoveWindow(*std::exchange(placement_, std::nullopt));
    }
}

void Form::Activate() {
    // A screen reader reads what the user works on: the number on the display.
    active_ = true;
    TellAccessible(Display.Name, AccessibleChange::Focus);
    Call(Handlers.OnActivate);
}

void Form::Deactivate() {
    if (std::exchange(active_, false)) {
        TellAccessible(Display.Name, AccessibleChange::FocusLost);
    }
    Call(Handlers.OnDeactivate);
}

void Form::RegionalSettingsChanged() {
    Call(Handlers.OnRegionalSettingsChanged);
}

void Form::ClipboardTextArrived(const std::string& text) {
    if (Handlers.OnClipboardText) {
        Handlers.OnClipboardText(text);
    }
}

void Form::CharTyped(char32_t typed) {
    if (Handlers.OnKeyPress) {
        Handlers.OnKeyPress(typed);
    }
}

void Form::KeyDown(char32_t key, KeyModifiers modifiers) {
    if (Handlers.OnKeyDown) {
        Handlers.OnKeyDown(key, modifiers);
    }
}

void Form::MouseDown(MouseButton button, Point client) {
    lastPointer_ = client;
    // From the first press on, the window is the user's to place.
    placement_.reset();
    // A press ends the hint of the control under the pointer, for as long as it stays there.
    if (hintState_ == HintState::Showing || hintState_ == HintState::Waiting) {
        CancelHint();
        hintState_ = HintState::Done;
    }
    Control* target = LeftPressed();
    if (target == nullptr) {
        target = ControlAt(client);
    }
    if (target == nullptr) {
        return;
    }
    if (pressed_ == nullptr) {
        pressed_ = target;
        pressedButton_ = button;
        backend_.SetCapture(true);
        ShowPressedKey();
    }
    if (target->OnMouseDown) {
        target->OnMouseDown(button, Relative(*target, client));
    }
}

void Form::MouseMove(Point client) {
    lastPointer_ = client;
    Control* target = LeftPressed();
    if (target == nullptr) {
        target = ControlAt(client);
        UpdateHover(target);
    } else {
        ShowPressedKey();
    }
    if (target != nullptr && target->OnMouseMove) {
        target->OnMouseMove(Relative(*target, client));
    }
}

void Form::MouseUp(MouseButton button, Point client) {
    lastPointer_ = client;
    Control* under = ControlAt(client);
    Control* target = under;
    const bool endsPress = pressed_ != nullptr && button == pressedButton_;
    Control* pressed = pressed_;
    if (endsPress) {
        EndPress();
        // The left button's release always belongs to its press. Another button's release goes
        // where it lands, but one that lands where nothing takes releases (a key, the operator
        // label, outside the window) still ends what its press began.
        if (button == MouseButton::Left || target == nullptr || !target->OnMouseUp) {
            target = pressed;
        }
    } else if (LeftPressed() != nullptr) {
        target = LeftPressed();
    }
    if (target == nullptr) {
        return;
    }
    // The release only has to lie inside the pressed control, even where another control lies
    // above it: a press on 0 released on the row it shares with 1 still enters 0.
    if (endsPress && button == MouseButton::Left && target->Bounds.Contains(client)) {
        Call(target->OnClick);
    }
    if (target->OnMouseUp) {
        target->OnMouseUp(button, Relative(*target, client));
    }
    if (button == MouseButton::Right && under != nullptr && under->HasPopupMenu) {
        OpenPopupMenu(client, false);
    }
    if (pressed_ == nullptr) {
        UpdateHover(under);
    }
}

void Form::CaptureLost() {
    Control* pressed = pressed_;
    if (pressed == nullptr) {
        return;
    }
    const MouseButton button = pressedButton_;
    // The system already took the capture; there is nothing to release.
    pressed_ = nullptr;
    ShowPressedKey();
    if (pressed->OnMouseUp) {
        pressed->OnMouseUp(button, Relative(*pressed, lastPointer_));
    }
}

void Form::MouseLeave() {
    if (pressed_ == nullptr) {
        CancelHint();
        hovered_ = nullptr;
    }
}

void Form::Timer(FormTimer timer) {
    switch (timer) {
        case FormTimer::Close:
            Call(Handlers.OnCloseTimer);
            break;
        case FormTimer::HintShow:
            backend_.StopTimer(FormTimer::HintShow);
            if (hintState_ == HintState::Waiting && hovered_ != nullptr) {
                hintState_ = HintState::Showing;
                backend_.ShowHint(hovered_->Hint, ScreenPoint(lastPointer_));
                backend_.StartTimer(FormTimer::HintHide, HintDurationMilliseconds);
            }
            break;
        case FormTimer::HintHide:
            backend_.StopTimer(FormTimer::HintHide);
            if (hintState_ == HintState::Showing) {
                backend_.HideHint();
                hintState_ = HintState::Done;
            }
            break;
    }
}

void Form::Paint(FormPainter& painter) {
    if (contrast_) {
        PaintFromControls(painter, *contrast_);
        return;
    }
    for (const Control& control : controls_) {
        if (control.Kind == ControlKind::Picture) {
            painter.DrawPicture(skin_, {control.Bounds.Left, control.Bounds.Top});
        } else if (control.Kind == ControlKind::Label) {
            DrawFittingLabel(painter, control.Caption, control.Bounds, control.Alignment,
                             control.DigitHeight, std::nullopt);
        }
    }
}

void Form::DrawFittingLabel(FormPainter& painter, const std::string& text, const Rect& box,
                            TextAlignment alignment, int digitHeight,
                            std::optional<Colour> colour) {
    const int fitting = FittingDigitHeight(
        digitHeight, box.Width, [&](int height) { return painter.TextWidth(text, height); });
    painter.DrawLabel(text, box, alignment, fitting, colour);
}

void Form::RunGuarded(const std::function<void()>& work) noexcept {
    try {
        work();
    } catch (...) {
        ShowException(std::current_exception());
    }
}

void Form::Call(const std::function<void()>& handler) {
    if (handler) {
        handler();
    }
}

void Form::ShowException(const std::exception_ptr& error) noexcept {
    try {
        if (pressed_ != nullptr) {
            EndPress();
        }
        ShowMessage(ExceptionMessageText(error), title_);
    } catch (...) {
        // A box that cannot be shown leaves nothing else to tell the user with; the loop goes on.
    }
}

int Form::InNestedLoop(const std::function<int()>& call) {
    ++nestedLoops_;
    int result = 0;
    try {
        result = call();
    } catch (...) {
        LeaveNestedLoop();
        throw;
    }
    LeaveNestedLoop();
    return result;
}

void Form::LeaveNestedLoop() {
    if (--nestedLoops_ == 0 && closeRequested_) {
        closeRequested_ = false;
        Close();
    }
}

Control* Form::LeftPressed() const {
    return pressedButton_ == MouseButton::Left ? pressed_ : nullptr;
}

void Form::EndPress() {
    pressed_ = nullptr;
    backend_.SetCapture(false);
    ShowPressedKey();
}

Control* Form::ControlAt(Point client) {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        if (it->Kind != ControlKind::Picture && it->Bounds.Contains(client)) {
            return &*it;
        }
    }
    return nullptr;
}

Point Form::Relative(const Control& control, Point client) {
    return {client.X - control.Bounds.Left, client.Y - control.Bounds.Top};
}

Point Form::ScreenPoint(Point client) {
    const Point window = backend_.WindowPosition();
    return {window.X + client.X, window.Y + client.Y};
}

void Form::UpdateHover(Control* under) {
    if (under == hovered_) {
        // Resting means not moving: every move restarts the wait.
        if (hintState_ == HintState::Waiting) {
            backend_.StartTimer(FormTimer::HintShow, HintDelayMilliseconds);
        }
        return;
    }
    CancelHint();
    hovered_ = under;
    backend_.SetCursor(under != nullptr ? under->ControlCursor : PointerShape::Arrow);
    if (under != nullptr && !under->Hint.empty()) {
        hintState_ = HintState::Waiting;
        backend_.StartTimer(FormTimer::HintShow, HintDelayMilliseconds);
    }
}

void Form::CancelHint() {
    if (hintState_ == HintState::Waiting) {
        backend_.StopTimer(FormTimer::HintShow);
    } else if (hintState_ == HintState::Showing) {
        backend_.StopTimer(FormTimer::HintHide);
        backend_.HideHint();
    }
    hintState_ = HintState::Idle;
}

void Form::MenuKey() {
    OpenPopupMenu({Display.Bounds.Left, Display.Bounds.Bottom()}, true);
}

void Form::OpenPopupMenu(Point client, bool fromKeyboard) {
    if (PopupMenu.empty()) {
        return;
    }
    CancelHint();
    std::vector<std::string> captions;
    for (const PopupMenuItem& item : PopupMenu) {
        captions.push_back(item.Caption);
    }
    const Point at = ScreenPoint(client);
    const int chosen =
        InNestedLoop([&] { return backend_.ShowPopupMenu(captions, at, fromKeyboard); });
    if (chosen >= 0 && static_cast<std::size_t>(chosen) < PopupMenu.size()) {
        Call(PopupMenu[static_cast<std::size_t>(chosen)].OnClick);
    }
}
