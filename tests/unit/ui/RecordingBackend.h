#pragma once
// A backend without a window: it records what the form asks for, so the form's rules can be
// checked headless. The popup menu answers with a preset choice.

#include <map>
#include <string>
#include <vector>

#include "Form.h"
#include "FormBackend.h"

class RecordingBackend : public FormBackend {
public:
    // Facts the tests set up.
    int ZeroHeight = Form::DesignTextHeight;
    ScreenLayout Layout{{0, 0, 1920, 1080}, {{0, 0, 1920, 1080}}};
    int PopupChoice = -1;

    // What the form asked for.
    int ClientWidth = 0;
    int ClientHeight = 0;
    std::vector<Rect> Mask;
    Point Position;
    std::vector<Point> Moves;
    std::vector<int> OpacityRequests;
    std::vector<Rect> Invalidated;
    bool Closed = false;
    PointerShape CurrentCursor = PointerShape::Arrow;
    bool Captured = false;
    std::map<FormTimer, int> RunningTimers;
    std::string HintShown;  // empty while no hint is up
    Point HintPosition;
    std::vector<std::vector<std::string>> Menus;
    std::vector<Point> MenuPositions;
    std::vector<std::pair<std::string, std::string>> Messages;  // text, caption
    std::vector<std::string> Clipboard;

    int MeasureZeroHeight() override { return ZeroHeight; }
    ScreenLayout Screens() override { return Layout; }
    void SetClientSize(int width, int height) override {
        ClientWidth = width;
        ClientHeight = height;
    }
    void SetColourKeyMask(const std::vector<Rect>& visible) override { Mask = visible; }
    Point WindowPosition() override { return Position; }
    void MoveWindow(Point topLeft) override {
        Position = topLeft;
        Moves.push_back(topLeft);
    }
    void SetOpacity(int alpha) override { OpacityRequests.push_back(alpha); }
    void Invalidate(const Rect& area) override { Invalidated.push_back(area); }
    void CloseWindow() override { Closed = true; }
    void SetCursor(PointerShape cursor) override { CurrentCursor = cursor; }
    void SetCapture(bool captured) override { Captured = captured; }
    void StartTimer(FormTimer timer, int intervalMilliseconds) override {
        RunningTimers[timer] = intervalMilliseconds;
    }
    void StopTimer(FormTimer timer) override { RunningTimers.erase(timer); }
    void ShowHint(const std::string& text, Point screenPointer) override {
        HintShown = text;
        HintPosition = screenPointer;
    }
    void HideHint() override { HintShown.clear(); }
    int ShowPopupMenu(const std::vector<std::string>& items, Point screenPointer) override {
        Menus.push_back(items);
        MenuPositions.push_back(screenPointer);
        return PopupChoice;
    }
    void ShowErrorMessage(const std::string& text, const std::string& caption) override {
        Messages.emplace_back(text, caption);
    }
    void CopyToClipboard(const std::string& text) override { Clipboard.push_back(text); }

    bool TimerRunning(FormTimer timer) const { return RunningTimers.count(timer) != 0; }
};
