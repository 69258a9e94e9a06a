#pragma once
// The form's backend on Windows: the application's owner window, which carries the program's one
// taskbar entry and hears broadcasts such as changed regional settings, and the calculator itself,
// a layered topmost pop-up owned by it. It turns window messages into calls on the form and
// carries out what the form asks. Each window procedure unpacks a message and calls one routine
// for it, all through the form's guard: on 32-bit mingw an exception unwinding through user32
// ends the program.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CharacterInput.h"
#include "GdiPainter.h"
#include "HintWindow.h"
#include "NativeBackend.h"
#include "OleLibraries.h"

class FormAccessible;

// The stop message box with one OK button; owner may be nullptr.
void ShowStopBox(HWND owner, const std::string& text, const std::string& caption);

class Win32Backend : public NativeBackend {
public:
    explicit Win32Backend(HINSTANCE instance);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    void Run(const std::function<void()>& windowGone) override;

    void AttachForm(Form* form) override;
    ScaleFactor FormScale() override;
    ScreenLayout Screens() override;
    std::optional<SystemColours> HighContrastColours() override;
    void SetClientSize(int width, int height) override;
    void SetColourKey(Colour key, const Picture& picture) override;
    void RemoveColourKey() override;
    Point WindowPosition() override;
    void MoveWindow(Point topLeft) override;
    void SetOpacity(int alpha) override;
    void Invalidate(const Rect& area) override;
    void CloseWindow() override;
    void SetCursor(PointerShape cursor) override;
    void SetCapture(bool captured) override;
    void StartTimer(FormTimer timer, int intervalMilliseconds) override;
    void StopTimer(FormTimer timer) override;
    void ShowHint(const std::string& text, Point screenPointer) override;
    void HideHint() override;
    int ShowPopupMenu(const std::vector<std::string>& items, Point screenPointer,
                      bool fromKeyboard) override;
    void ShowErrorMessage(const std::string& text, const std::string& caption) override;
    void EndNestedLoops() override;
    void AccessibleChanged(std::size_t element, AccessibleChange change) override;
    void AccessibleMessage(std::size_t element, const std::string& message) override;
    void CopyToClipboard(const std::string& text) override;
    void RequestClipboardText() override;

private:
    // A message's result, or nullopt to leave it to the default procedure.
    using MessageHandler = std::optional<LRESULT> (Win32Backend::*)(UINT, WPARAM, LPARAM);

    static LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Runs the handler for a window of ours through the form's guard, once a form is attached.
    static LRESULT Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                            MessageHandler handler);
    std::optional<LRESULT> OwnerMessage(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> FormMessage(UINT message, WPARAM wParam, LPARAM lParam);

    void OnOwnerActivated();
    void OnEndSession(bool ending);
    void OnButton(MouseButton button, bool down, Point client);
    void OnMouseMove(Point client);
    std::optional<LRESULT> OnSetCursor(WORD hitTest);
    void OnCaptureChanged(HWND newOwner);
    void OnCancelMode();
    void OnChar(wchar_t unit);
    void OnKeyDown(WPARAM virtualKey);
    void OnActivateApp(bool active);
    void OnTimer(WPARAM id);
    void OnWindowPosChanged(const WINDOWPOS& position);
    // The window's monitor has another resolution now: the form scales for it, and the window
    // takes the place the system suggests.
    void OnDpiChanged(int dotsPerInch, const RECT& suggested);
    // The client size the form would have at a resolution, for the system to place it.
    void OnGetDpiScaledSize(int dotsPerInch, SIZE& size);
    void OnPaint();
    void OnPaste();
    // A screen reader asks for the window's accessible object.
    std::optional<LRESULT> OnGetObject(WPARAM flags, LPARAM objectId);
    void ApplyLayering();
    void HideWindows();
    void DestroyWindows();

    HINSTANCE instance_;
    HICON icon_ = nullptr;
    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    std::unique_ptr<HintWindow> hint_;
    LabelFonts fonts_;
    Form* form_ = nullptr;
    HCURSOR cursor_ = nullptr;
    bool trackingLeave_ = false;
    bool releasingCapture_ = false;
    SurrogateJoiner typed_;
    std::optional<Colour> colourKey_;
    // Made at a screen reader's first request, with the libraries it needs.
    const OleLibraries* ole_ = nullptr;
    FormAccessible* accessible_ = nullptr;
    int opacity_ = 255;
    // What Run is to call once the window has gone, while its loop runs.
    const std::function<void()>* windowGone_ = nullptr;
};
