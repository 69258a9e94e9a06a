#pragma once
// A backend without a window: it records what the form asks for, so the form's rules can be
// checked headless. The popup menu answers with a preset choice, and a test may run its own code
// inside the menu's or a message box's nested loop.

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Form.h"
#include "FormBackend.h"

class RecordingBackend : public FormBackend {
public:
    // Facts the tests set up.
    ScaleFactor Factor;
    // The monitor list is not built from a brace list: mingw's g++ 12 at -O3 then warns of the
    // list's array as uninitialised where many of these backends are made in one test.
    ScreenLayout Layout{
        {0, 0, 1920, 1080}, std::vector<Rect>(1, Rect{0, 0, 1920, 1080}), {0, 0, 1920, 1080}};
    std::optional<SystemColours> Contrast;  // what HighContrastColours reports
    int PopupChoice = -1;
    std::function<void()> InsideNestedLoop;
    std::string FailingCall;  // the name of a call that throws, to test the guards

    // What the form asked for.
    int ClientWidth = 0;
    int ClientHeight = 0;
    Form* Attached = nullptr;
    Colour Key;
    Picture KeyedPicture;
    bool ColourKeyOn = false;
    Point Position;
    std::vector<Point> Moves;
    std::vector<int> OpacityRequests;
    std::vector<Rect> Invalidated;
    int Closes = 0;
    int ClipboardRequests = 0;
    PointerShape CurrentCursor = PointerShape::Arrow;
    bool Captured = false;
    std::map<FormTimer, int> RunningTimers;
    std::string HintShown;  // empty while no hint is up
    Point HintPosition;
    std::vector<std::vector<std::string>> Menus;
    std::vector<Point> MenuPositions;
    std::vector<bool> MenusFromKeyboard;
    std::vector<std::pair<std::string, std::string>> Messages;  // text, caption
    int NestedLoopEnds = 0;
    std::vector<std::pair<std::size_t, AccessibleChange>> AccessibleChanges;
    std::vector<std::string> SpokenMessages;
    std::vector<std::string> Clipboard;

    void AttachForm(Form* form) override { Attached = form; }
    ScaleFactor FormScale() override { return Factor; }
    ScreenLayout Screens() override { return Layout; }
    void SetClientSize(int width, int height) override {
        ClientWidth = width;
        ClientHeight = height;
    }
    std::optional<SystemColours> HighContrastColours() override { return Contrast; }
    void SetColourKey(Colour key, const Picture& picture) override {
        Key = key;
        KeyedPicture = picture;
        ColourKeyOn = true;
    }
    void RemoveColourKey() override { ColourKeyOn = false; }
    Point WindowPosition() override { return Position; }
    void MoveWindow(Point topLeft) override {
        Position = topLeft;
        Moves.push_back(topLeft);
    }
    void SetOpacity(int alpha) override {
        Fail("SetOpacity");
        OpacityRequests.push_back(alpha);
    }
    void Invalidate(const Rect& area) override { Invalidated.push_back(area); }
    void CloseWindow() override { ++Closes; }
    void SetCursor(PointerShape cursor) override { CurrentCursor = cursor; }
    void SetCapture(bool captured) override { Captured = captured; }
    void StartTimer(FormTimer timer, int intervalMilliseconds) override {
        RunningTimers[timer] = intervalMilliseconds;
    }
    void StopTimer(FormTimer timer) override { RunningTimers.erase(timer); }
    void ShowHint(const std::string& text, Point screenPointer) override {
        Fail("ShowHint");
        HintShown = text;
        HintPosition = screenPointer;
    }
    void HideHint() override { HintShown.clear(); }
    int ShowPopupMenu(const std::vector<std::string>& items, Point screenPointer,
                      bool fromKeyboard) override {
        Fail("ShowPopupMenu");
        Menus.push_back(items);
        MenuPositions.push_back(screenPointer);
        MenusFromKeyboard.push_back(fromKeyboard);
        RunNestedLoop();
        return PopupChoice;
    }
    void ShowErrorMessage(const std::string& text, const std::string& caption) override {
        Fail("ShowErrorMessage");
        Messages.emplace_back(text, caption);
        RunNestedLoop();
    }
    void EndNestedLoops() override { ++NestedLoopEnds; }
    void AccessibleChanged(std::size_t element, AccessibleChange change) override {
        AccessibleChanges.emplace_back(element, change);
    }
    void AccessibleMessage(std::size_t, const std::string& message) override {
        SpokenMessages.push_back(message);
    }
    void CopyToClipboard(const std::string& text) override { Clipboard.push_back(text); }
    void RequestClipboardText() override { ++ClipboardRequests; }

    bool TimerRunning(FormTimer timer) const { return RunningTimers.count(timer) != 0; }

private:
    void Fail(const std::string& call) const {
        if (call == FailingCall) {
            throw std::runtime_error(call + " failed");
        }
    }
    // Once per loop: what the test runs there may open another box.
    void RunNestedLoop() {
        if (InsideNestedLoop) {
            const std::function<void()> work = std::exchange(InsideNestedLoop, nullptr);
            work();
        }
    }
};
