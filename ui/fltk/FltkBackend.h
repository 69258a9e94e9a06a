#pragma once
// The form's backend on Linux/X11 with FLTK 1.3: it owns the calculator window, its hint window
// and the timers, carries out what the form asks, and follows the program's activation. Create
// it through OpenNativeBackend, which connects to the display first, build the form on it,
// then Run.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ActivationTracker.h"
#include "Form.h"
#include "FormFont.h"
#include "NativeBackend.h"

class DesktopWatch;
class FltkWindow;
class HintWindow;
class ScreenReaderAccess;
class XSettingsWatch;

class CloseRequests;

class FltkBackend : public NativeBackend {
public:
    FltkBackend();
    ~FltkBackend() override;
    FltkBackend(const FltkBackend&) = delete;
    FltkBackend& operator=(const FltkBackend&) = delete;

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
    // What FLTK's timeout callback gets: enough to find the form and the timer again.
    struct TimerSlot {
        FltkBackend* Backend;
        FormTimer Timer;
        double Seconds;
    };
    static void TimerElapsed(void* slot);
    // Runs the loop until the window has been drawn once; false when it was closed before.
    bool WaitForFirstPaint();
    void ActivationChanged(Activation activation);
    void DesktopThemeChanged();
    void DesktopScaleChanged();
    void MonitorsChanged();
    void ApplyShape();
    // Scaled by the form's factor, as the window's contents are.
    int Scaled(int designPixels) const;

    // First, so that it loads while everything else is built.
    FontConfigurationLoad fontConfiguration_;
    std::unique_ptr<FltkWindow> window_;
    std::unique_ptr<HintWindow> hint_;
    std::unique_ptr<ScreenReaderAccess> screenReader_;
    std::unique_ptr<CloseRequests> closeRequests_;
    std::unique_ptr<DesktopWatch> desktop_;
    ActivationTracker activation_;
    std::unique_ptr<XSettingsWatch> desktopSettings_;
    std::map<FormTimer, TimerSlot> timers_;  // a map keeps each slot's address for FLTK
    Form* form_ = nullptr;
    // The X window exists only once shown; until then the requests wait here.
    std::optional<int> opacity_;
    std::optional<std::vector<Rect>> visible_;  // the colour key's shape; none without the key
};
