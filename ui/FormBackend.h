#pragma once
// The contract between the toolkit-free form and the native window behind it. A backend (FLTK on
// Linux, Win32 on Windows, a recording fake in the tests) does only two things:
//
// Backend to form (calls on Form, see Form.h), each native event once, in client coordinates:
//   - MouseDown / MouseMove / MouseUp with the button; a double-click press is an ordinary press
//   - MouseLeave when the pointer leaves the window
//   - CharTyped with the character the keyboard layout produced (Enter 13, Escape 27)
//   - KeyDown with a key's lower-case letter and the modifiers (for shortcuts such as Ctrl+C)
//   - Activate / Deactivate when the program as a whole gains or loses the foreground; the
//     program's own popup menu and message boxes do not count
//   - Timer when a timer the form started elapses
//   - Paint, handing over a FormPainter
//
// Form to backend (this interface): everything else. The backend keeps no state of its own
// about controls, captions or opacity; the form decides and the backend carries it out.

#include <string>
#include <vector>

#include "FormTypes.h"
#include "Picture.h"

enum class FormTimer { Close, HintShow, HintHide };

// What a paint draws: the skin first, then the labels above it.
class FormPainter {
public:
    virtual ~FormPainter() = default;
    virtual void DrawPicture(const Picture& picture, Point topLeft) = 0;
    // One line of bold text of the given pixel height, vertically centred in box, clipped to it.
    virtual void DrawText(const std::string& text, const Rect& box, TextAlignment alignment,
                          int fontHeight) = 0;
};

class FormBackend {
public:
    virtual ~FormBackend() = default;

    // Creation-time facts.
    // Height of the text "0" in the form font (8 point bold sans at the screen's resolution),
    // ascent plus descent: 13 on a standard 96-dpi display.
    virtual int MeasureZeroHeight() = 0;
    virtual ScreenLayout Screens() = 0;

    // The window.
    virtual void SetClientSize(int width, int height) = 0;
    virtual void SetColourKeyMask(const std::vector<Rect>& visible) = 0;
    virtual Point WindowPosition() = 0;
    virtual void MoveWindow(Point topLeft) = 0;
    virtual void SetOpacity(int alpha) = 0;
    virtual void Invalidate(const Rect& area) = 0;
    virtual void CloseWindow() = 0;

    // Mouse and timers.
    virtual void SetCursor(PointerShape cursor) = 0;
    virtual void SetCapture(bool captured) = 0;
    virtual void StartTimer(FormTimer timer, int intervalMilliseconds) = 0;  // repeats
    virtual void StopTimer(FormTimer timer) = 0;

    // Secondary windows; the modal ones return when the user has answered.
    virtual void ShowHint(const std::string& text, Point screenPointer) = 0;
    virtual void HideHint() = 0;
    // Returns the index of the chosen item, or -1 when the menu was dismissed.
    virtual int ShowPopupMenu(const std::vector<std::string>& items, Point screenPointer) = 0;
    // Error (stop) icon and one OK button, owned by the window.
    virtual void ShowErrorMessage(const std::string& text, const std::string& caption) = 0;
    virtual void CopyToClipboard(const std::string& text) = 0;
};
