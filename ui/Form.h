#pragma once
// The form runtime: one native window holding lightweight controls, a painted calculator with
// invisible click regions. The rules live here once for every platform and are tested headless:
//
//   - the topmost control under the pointer takes a press; the skin picture never does;
//   - a left press captures the mouse for the pressed control until the release;
//   - a click is a left press and release over the same control;
//   - the release of the button that made a press returns to the pressed control when it lands
//     where no control takes releases, and a lost capture ends the press as a release would,
//     without a click;
//   - a right release over a control with a context menu opens the menu at the pointer;
//   - each control has its own cursor; a hint shows after the pointer rests 500 ms on a control
//     that has one and hides 2500 ms later;
//   - the whole form scales by the backend's factor (the desktop's or the monitor's resolution
//     over 96), each time from the design's own edges, and shows the skin drawn for that
//     factor; it scales again in place when the factor changes; the factor is never below 1
//     and never so large that the window outgrows the work area of its monitor (ScreenFit.h);
//   - a window that a change of scale or of monitors leaves partly off the screens moves back
//     onto them, without its stored position being written;
//   - a label's text is sized by the height of its digits, and one wider than its label is drawn
//     smaller until it fits (TextFit.h): a shown number is never missing digits;
//   - while the desktop asks for high contrast, the skin is not shown: the form draws the display
//     and the keys from its controls in the system's colours, opaque and without see-through
//     pixels, the keys as an aligned grid of equal keys whose legends fill two thirds of a key's
//     height; the keys take clicks exactly where they are drawn, and behave as they do in the
//     skin;
//   - until the user first presses a button, the window stays where the form placed it: a window
//     manager that moves it while mapping it is undone once;
//   - the controls a screen reader finds are the ones named in AccessibleOrder, surfaces as
//     push buttons pressed as a click presses them, labels as text whose changes it is told of,
//     plus the display as a whole, the one element the reader is on while the program is active;
//     the form decides what each stack tells: focus, activity, names, actions and what is said;
//   - an exception escaping any event is shown in a message box, and the program carries on: the
//     backend runs each native event through RunGuarded, the one guard it passes;
//   - a close asked for inside the menu's or a message box's loop ends that loop, as if the
//     menu were dismissed or the box answered, and closes the window once it has returned.
//
// Start reading at Form's event entry points (MouseDown and the others), which the backend
// calls; FormBackend.h says what the backend does in return. The window that fills these
// tables, TfrmMain, lives in Umain.h.

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FormBackend.h"
#include "FormTypes.h"
#include "Picture.h"

enum class ControlKind { Picture, Surface, Label };

using MouseHandler = std::function<void(MouseButton button, Point controlPoint)>;

// One row of a control table: what the design describes, plus the handlers bound to it.
struct Control {
    std::string Name;
    ControlKind Kind = ControlKind::Surface;
    Rect Bounds;
    PointerShape ControlCursor = PointerShape::Arrow;
    std::string Hint;
    bool HasPopupMenu = false;
    // For a screen reader: a surface's spoken name, what to say of a control beyond its name
    // when that is not its hint, and the keyboard key that does what a click does.
    std::string AccessibleName;
    std::string AccessibleDescription;
    std::string AccessibleShortcut;
    // Labels only.
    std::string Caption;
    // What a key surface shows on the face drawn from the controls in high contrast; a surface
    // without it is not drawn there.
    std::string FaceText;
    // How a screen reader says the caption ("+" is "plus"); unset, as it is written.
    std::function<std::string(const std::string& caption)> SpokenCaption;
    TextAlignment Alignment = TextAlignment::Right;
    // How tall a label's digits stand, in the design's pixels. Key surfaces take theirs from their
    // height on the face drawn from the controls.
    int DigitHeight = 0;
    // Handlers; an empty one means the control ignores that event.
    std::function<void()> OnClick;
    MouseHandler OnMouseDown;
    std::function<void(Point controlPoint)> OnMouseMove;
    MouseHandler OnMouseUp;
};

// The display as a whole, for a screen reader: no control of its own (its labels are), but the
// number that matters on it, which the window states after every key.
struct AccessibleDisplay {
    std::string Name;  // as AccessibleOrder names it
    std::string Description;
    Rect Bounds;
    std::string Text;
    bool ShowsResult = false;
};

struct PopupMenuItem {
    std::string Caption;
    std::function<void()> OnClick;
};

// Form-level handlers, bound by the window that owns the form.
struct FormHandlers {
    std::function<void()> OnShow;
    std::function<void()> OnActivate;
    std::function<void()> OnDeactivate;
    std::function<void(char32_t typed)> OnKeyPress;
    std::function<void(char32_t key, KeyModifiers modifiers)> OnKeyDown;
    std::function<void()> OnCloseTimer;
    std::function<void()> OnRegionalSettingsChanged;
    std::function<void(const std::string& text)> OnClipboardText;
};

// A rectangle at a factor: its edges, not its size, are scaled, so neighbouring rectangles stay
// flush.
Rect ScaledEdges(const Rect& design, ScaleFactor factor);

// The exception message box text: an error object's message, with a "." appended when it is not
// empty and its last character sorts after "."; running out of memory in German words, not the
// library's; anything else thrown, empty. error holds an exception.
std::string ExceptionMessageText(const std::exception_ptr& error);

class Form {
public:
    static constexpr int DesignTextHeight = 13;
    static constexpr int HintDelayMilliseconds = 500;
    static constexpr int HintDurationMilliseconds = 2500;

    static constexpr Colour ColourKey{255, 255, 255};
    static constexpr int OpaqueAlpha = 255;

    Form(FormBackend& backend, std::string title, int clientWidth, int clientHeight,
         std::vector<Control> controls, Picture skin);
    ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    // Applies the scaling rule with the backend's factor, from the design's edges, fonts and
    // picture. Again with an unchanged factor it does nothing.
    void Scale();
    // The client size the form would have at a factor, without applying it, as far as it can be
    // told without the monitor: never smaller than the design.
    Point ScaledClientSize(ScaleFactor factor) const;

    // Backend to form. Each call is made inside RunGuarded, except Show, which guards itself.
    // Show runs the show handler just before the window first appears and takes the window's
    // position as the form's placement.
    void Show();
    // The window may lie elsewhere than the form put it: a window manager moved it.
    void WindowMoved();
    // The desktop's scale may have changed to factor: the form scales again. A window that
    // changed size keeps its corner nearest the edges of its monitor; with a suggested place
    // (the system's, for a window moved onto a monitor of another scale) it goes there instead,
    // pulled onto the monitors where the size the form took leaves it partly off them.
    void ScaleChanged(ScaleFactor factor, std::optional<Rect> suggested = std::nullopt);
    // Monitors came, went or moved: a window no longer wholly on them moves back onto one.
    void ScreensChanged();
    void MouseDown(MouseButton button, Point client);
    void MouseMove(Point client);
    void MouseUp(MouseButton button, Point client);
    void CaptureLost();
    void MouseLeave();
    void CharTyped(char32_t typed);
    void KeyDown(char32_t key, KeyModifiers modifiers);
    // The keyboard asks for the menu (the menu key, Shift+F10): it opens at the display with
    // its first item chosen.
    void MenuKey();
    void Activate();
    void Deactivate();
    void RegionalSettingsChanged();
    void ContrastChanged();
    void ClipboardTextArrived(const std::string& text);
    void Timer(FormTimer timer);
    void Paint(FormPainter& painter);
    // The guard of every native event: whatever escapes `work` is shown in the exception box,
    // and the loop goes on. Nothing leaves it.
    void RunGuarded(const std::function<void()>& work) noexcept;

    // For the window that owns the form.
    FormHandlers Handlers;
    // The skin drawn for a scale other than the design's, where the owner can draw it. Unset, the
    // design's picture is scaled.
    std::function<Picture(ScaleFactor factor)> SkinAtScale;
    std::vector<PopupMenuItem> PopupMenu;
    // The controls a screen reader finds, by name, in the order it reads them; the display's
    // name among them stands for the display as a whole, which is the element the reader is on.
    std::vector<std::string> AccessibleOrder;
    AccessibleDisplay Display;

    // For the platform's accessibility interface: elements are numbered from 0 in
    // AccessibleOrder. Accessible throws std::out_of_range for a number beyond them.
    std::size_t AccessibleCount() const { return AccessibleOrder.size(); }
    AccessibleElement Accessible(std::size_t index) const;
    std::optional<std::size_t> AccessibleAt(Point client) const;
    // The element a screen reader is on, whether or not the program is active.
    std::optional<std::size_t> AccessibleFocusIndex() const;
    // Whether the program is the active one, as the last Activate or Deactivate said.
    bool Active() const { return active_; }
    // What the element's action does: a push button is clicked, through the same route as a
    // click of the mouse. False for an element that has no action, or a number beyond them.
    bool PressAccessible(std::size_t index);
    // The display now shows text; result tells that a key completed a calculation, which is
    // said even when the display already showed it. A message, where given, is said instead of
    // the display, which it tells about.
    void ShowOnDisplay(const std::string& text, bool result, const std::string& message = {});
    // Tells a screen reader what happened where the display does not show it.
    void Say(const std::string& message);
    Control& ControlNamed(const std::string& name);
    const Control& ControlNamed(const std::string& name) const;
    void SetCaption(const std::string& labelName, const std::string& caption);
    void SetOpacity(int alpha);
    void Close();
    // The window's own services, for the window that owns the form: the backend is reached
    // through here only.
    Point WindowPosition();
    void MoveWindow(Point topLeft);
    ScreenLayout Screens();
    void StartCloseTimer(int intervalMilliseconds);
    void ShowMessage(const std::string& text, const std::string& caption);
    void CopyToClipboard(const std::string& text);
    void RequestClipboardText();

    const std::string& Title() const { return title_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    ScaleFactor Scaling() const { return scale_.value_or(ScaleFactor{}); }
    const std::vector<Control>& Controls() const { return controls_; }
    const Picture& Skin() const { return skin_; }
    bool HighContrast() const { return contrast_.has_value(); }

private:
    // The scaling rule at a factor the desktop asks for, for a window standing at window.
    void ApplyScale(ScaleFactor wanted, const Rect& window);
    // A label's text, drawn smaller where it is wider than its box (TextFit.h).
    static void DrawFittingLabel(FormPainter& painter, const std::string& text, const Rect& box,
                                 TextAlignment alignment, int digitHeight,
                                 std::optional<Colour> colour);
    // Runs a handler that may be unbound.
    static void Call(const std::function<void()>& handler);
    void ShowException(const std::exception_ptr& error) noexcept;
    // Modal calls count as a nested loop, during which a close waits.
    int InNestedLoop(const std::function<int()>& call);
    void LeaveNestedLoop();
    // The control a left press in progress captured, else nullptr.
    Control* LeftPressed() const;
    void EndPress();
    Control* ControlAt(Point client);
    static Point Relative(const Control& control, Point client);
    Point ScreenPoint(Point client);
    void UpdateHover(Control* under);
    void CancelHint();
    void OpenPopupMenu(Point client, bool fromKeyboard);
    std::optional<std::size_t> AccessibleIndexOf(const std::string& name) const;
    static std::string SpokenName(const Control& control);
    void TellAccessible(const std::string& name, AccessibleChange change);
    // High contrast (FormContrast.cpp): the window's colour key and opacity as the mode has them,
    // the key drawn as pressed, and the face drawn from the controls.
    void ApplyColourKey();
    void ApplyOpacity();
    void ShowPressedKey();
    void PaintFromControls(FormPainter& painter, const SystemColours& colours) const;
    // The keys' rectangles for the mode: their scaled design ones with the skin, the aligned
    // grid (KeyGrid.h) on the face drawn from the controls, which then also takes their clicks.
    void PlaceKeys();
    // The width of the frames on that face: one pixel at the design's size, two at twice it.
    int FrameWidth() const;

    // Waiting: the pointer rests on a control with a hint; Done: its hint was shown or cut short
    // by a press, and shows again only after the pointer has been on another control.
    enum class HintState { Idle, Waiting, Showing, Done };

    FormBackend& backend_;
    std::string title_;
    int designWidth_;
    int designHeight_;
    int clientWidth_;
    int clientHeight_;
    std::vector<Control> controls_;  // bottom first; later rows lie above earlier ones
    // Each control's bounds and digit height as designed, in the order of controls_.
    std::vector<std::pair<Rect, int>> design_;
    Picture designSkin_;
    Picture skin_;
    std::optional<ScaleFactor> scale_;  // unset until the first Scale
    // The display's bounds as the owner designed them, taken at the first Scale.
    Rect designDisplay_;
    // The opacity the window asked for, and the one the backend was last told.
    std::optional<int> opacity_;
    std::optional<int> shownOpacity_;
    // The system's colours while the desktop asks for high contrast.
    std::optional<SystemColours> contrast_;
    // The key drawn in the highlight colours: the one a left press holds while the pointer is
    // on it, in high contrast only.
    const Control* pressedKey_ = nullptr;
    // Where the form put the window at show time, until the user's first press.
    std::optional<Point> placement_;
    // The control that took the press in progress, and the button that made it. Only a left
    // press routes moves and the release to it; a press of another button gets its release back
    // when nothing else takes it.
    Control* pressed_ = nullptr;
    MouseButton pressedButton_ = MouseButton::Left;
    Control* hovered_ = nullptr;
    int nestedLoops_ = 0;
    bool closeRequested_ = false;
    bool closed_ = false;
    bool active_ = false;
    Point lastPointer_;
    HintState hintState_ = HintState::Idle;
};
