#pragma once
// The form's backend on Windows: the application's owner window, which carries the program's one
// taskbar entry and hears broadcasts such as changed regional settings, and the calculator itself,
// a layered topmost pop-up owned by it. It turns window messages into calls on the form and
// carries out what the form asks. Every window procedure is an exception boundary: on 32-bit
// mingw an exception unwinding through user32 ends the program.

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CharacterInput.h"
#include "GdiPainter.h"
#include "HintWindow.h"
#include "NativeBackend.h"

// The stop message box with one OK button; owner may be nullptr.
void ShowStopBox(HWND owner, const std::string& text, const std::string& caption);

class Win32Backend : public NativeBackend {
public:
    explicit Win32Backend(HINSTANCE instance);
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    void Run() override;

    void AttachForm(Form* form) override;
    int MeasureZeroHeight() override;
    ScreenLayout Screens() override;
    void SetClientSize(int width, int height) override;
    void SetColourKey(Colour key, const Picture& picture) override;
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
    int ShowPopupMenu(const std::vector<std::string>& items, Point screenPointer) override;
    void ShowErrorMessage(const std::string& text, const std::string& caption) override;
    void CopyToClipboard(const std::string& text) override;
    void RequestClipboardText() override;

private:
    static LRESULT CALLBACK OwnerProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // Handles one message of the calculator window; false leaves it to the default procedure.
    bool FormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    bool MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CharacterMessage(wchar_t unit);
    void Paint();
    void ApplyLayering();
    void DestroyWindows();
    void PasteFromClipboard();

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
    std::optional<Point> placement_;  // where the form put the window, until the user moves it
    int opacity_ = 255;
};
