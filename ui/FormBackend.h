#pragma once
// The contract between the toolkit-free form and the native window behind it. A backend (FLTK on
// Linux, Win32 on Windows, a recording fake in the tests) does only two things:
//
// Backend to form (calls on Form, see Form.h), each native event once, in client coordinates:
//   - MouseDown / MouseMove / MouseUp with the button; a double-click press is an ordinary press
//   - CaptureLost when a press ends without its release reaching the window: the window was
//     hidden, another program grabbed the pointer, or the system took the capture away
//   - MouseLeave when the pointer leaves the window
//   - CharTyped with the character the keyboard layout produced (Enter 13, Escape 27); a key
//     pressed with Ctrl or Alt held types nothing, AltGr characters do
//   - KeyDown with a key's lower-case letter and the modifiers (for shortcuts such as Ctrl+C)
//   - MenuKey when the menu key or Shift+F10 asks for the menu
//   - Activate / Deactivate when the program as a whole gains or loses the foreground; the
//     program's own popup menu and message boxes do not count
//   - RegionalSettingsChanged when the user's number format may have changed
//   - ClipboardTextArrived with the text a RequestClipboardText asked for, when it comes
//   - Timer when a timer the form started elapses
//   - Paint, handing over a FormPainter
//   - PressAccessible when a screen reader presses an element
//   - ContrastChanged when the desktop's high-contrast setting or the system's colours may have
//     changed; the form asks HighContrastColours again
//   - WindowMoved when something other than the form moved the window (a window manager
//     mapping it); the form decides whether the move is undone and asks for it
//   - Show once, just before the window first appears
//   - ScaleChanged when the desktop's scale may have changed, ScreensChanged when monitors
//     came, went or moved
//
// Form to backend (this interface): everything else.
//
// Order and lifetime:
//   - The form attaches itself in its constructor and detaches in its destructor; a backend
//     delivers events only to an attached form and forgets its pointer when the form goes.
//   - Everything below may be called before the native window is shown or the loop runs; a
//     backend keeps what it cannot apply yet (size, colour key, opacity, position, timers) and
//     applies it when the window appears.
//   - Calls from the form arrive on the GUI thread from inside an event; ShowPopupMenu and
//     ShowErrorMessage run a nested loop in which timers keep firing. CloseWindow is never
//     called from inside such a loop: a close asked for there calls EndNestedLoops, and the
//     form closes the window once the loop has returned.
//
// State a backend keeps: the current cursor, the opacity together with the colour key (one
// layered-window setting on Windows), the mouse tracking needed to report MouseLeave, and the
// native capture. It keeps no state of its own about controls or captions: the form decides and
// the backend carries it out.
//
// Exceptions: each native callback (window procedure, toolkit event, timer, paint) runs its whole
// work, the backend's own code and its calls into the form alike, through Form::RunGuarded once.
// RunGuarded shows what escapes and lets nothing out, so nothing unwinds through toolkit or
// system frames; a callback that runs while no form is attached catches everything itself.

#include <optional>
#include <string>
#include <vector>

#include "FormTypes.h"
#include "Picture.h"

class Form;

enum class FormTimer { Close, HintShow, HintHide };

// What a screen reader is told of an element: its name changed; the program became active and
// the reader is on it; the program lost the foreground and the element its focus; a key changed
// the display or completed a calculation, and what it shows is to be said now, once.
enum class AccessibleChange { Name, Focus, FocusLost, Announce };

// What a paint draws: the skin first, then the labels above it; in high contrast, rectangles
// and texts in the system's colours instead of the skin.
class FormPainter {
public:
    virtual ~FormPainter() = default;
    virtual void DrawPicture(const Picture& picture, Point topLeft) = 0;
    // One line of bold text whose digits stand digitHeight pixels high, its digits vertically
    // centred in box, clipped to it; in the given colour, or without one in the system's
    // window-text colour.
    virtual void DrawLabel(const std::string& text, const Rect& box, TextAlignment alignment,
                           int digitHeight, std::optional<Colour> colour) = 0;
    // How wide DrawLabel draws text at a digit height.
    virtual int TextWidth(const std::string& text, int digitHeight) = 0;
    // box filled with fill, its outer frameWidth pixels (none for 0) in frame.
    virtual void DrawRectangle(const Rect& box, Colour fill, Colour frame, int frameWidth) = 0;
};

class FormBackend {
public:
    virtual ~FormBackend() = default;

    // The form that receives the events, or nullptr once it is gone.
    virtual void AttachForm(Form* form) = 0;

    // The factor the form scales by: on Windows the height of the text "0" in the form font
    // (8 point bold sans at the screen's resolution, ascent plus descent) over the design's 13;
    // on X11 the desktop's resolution over 96. Asked at creation and again after the backend
    // told the form the scale changed (Form::ScaleChanged).
    virtual ScaleFactor FormScale() = 0;
    virtual ScreenLayout Screens() = 0;
    // The system's colours while the desktop asks for high contrast, nullopt while it does not.
    virtual std::optional<SystemColours> HighContrastColours() = 0;

    // The window.
    virtual void SetClientSize(int width, int height) = 0;
    // Pixels of exactly this colour are see-through and let clicks pass; the picture is what is
    // drawn at 0, 0, for backends that must derive the window's shape from it.
    virtual void SetColourKey(Colour key, const Picture& picture) = 0;
    // No colour is see-through any more: every pixel of the window shows and takes clicks.
    virtual void RemoveColourKey() = 0;
    virtual Point WindowPosition() = 0;
    virtual void MoveWindow(Point topLeft) = 0;
    virtual void SetOpacity(int alpha) = 0;
    virtual void Invalidate(const Rect& area) = 0;
    // Ends the event loop once it is back at the top.
    virtual void CloseWindow() = 0;

    // Mouse and timers.
    virtual void SetCursor(PointerShape cursor) = 0;
    // While captured, the release of a held button reaches the window wherever it happens.
    virtual void SetCapture(bool captured) = 0;
    virtual void StartTimer(FormTimer timer, int intervalMilliseconds) = 0;  // repeats
    virtual void StopTimer(FormTimer timer) = 0;

    // Secondary windows; the modal ones return when the user has answered.
    virtual void ShowHint(const std::string& text, Point screenPointer) = 0;
    virtual void HideHint() = 0;
    // Returns the index of the chosen item, or -1 when the menu was dismissed. Opened from the
    // keyboard, its first item is the chosen one at once, so that Return takes what a screen
    // reader named.
    virtual int ShowPopupMenu(const std::vector<std::string>& items, Point screenPointer,
                              bool fromKeyboard) = 0;
    // Error (stop) icon and one OK button, owned by the window.
    virtual void ShowErrorMessage(const std::string& text, const std::string& caption) = 0;
    // Ends the open menu as if dismissed and an open message box as if answered, from inside
    // their loop; the call that opened them returns soon after.
    virtual void EndNestedLoops() = 0;

    // The platform's accessibility interface: what happened to the element (numbered as
    // Form::Accessible numbers them). Nothing happens where no screen reader listens.
    virtual void AccessibleChanged(std::size_t element, AccessibleChange change) = 0;
    // A message for the reader to say once, as the element's news.
    virtual void AccessibleMessage(std::size_t element, const std::string& message) = 0;

    // The clipboard, as UTF-8 text. Reading may have to wait for another program, so the text
    // arrives later as an event; nothing arrives when the clipboard holds no text.
    virtual void CopyToClipboard(const std::string& text) = 0;
    virtual void RequestClipboardText() = 0;
};
