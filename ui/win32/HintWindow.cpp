// The hint window on Win32; see HintWindow.h.
#include "HintWindow.h"

#include "HintPosition.h"
#include "MonitorScale.h"
#include "WideText.h"
#include "WindowClass.h"

namespace {

constexpr wchar_t ClassName[] = L"RechnerHint";
// At 96 dots per inch.
constexpr int Padding = 3;

// The monitor the pointer is on, or the nearest one.
Rect ScreenAt(Point screenPointer) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    const POINT pointer{screenPointer.X, screenPointer.Y};
    if (!GetMonitorInfoW(MonitorFromPoint(pointer, MONITOR_DEFAULTTONEAREST), &monitor)) {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    const RECT& bounds = monitor.rcMonitor;
    return {bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top};
}

}  // namespace

HintWindow::HintWindow(HINSTANCE instance) {
    RegisterWindowClass(instance, ClassName, WindowProcedure,
                        {.Style = CS_SAVEBITS, .Background = GetSysColorBrush(COLOR_INFOBK)});
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, ClassName, L"",
                              WS_POPUP | WS_BORDER, 0, 0, 1, 1, nullptr, nullptr, instance, this);
}

HintWindow::~HintWindow() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

void HintWindow::ShowAt(const std::string& text, Point screenPointer, int dotsPerInch) {
    if (window_ == nullptr) {
        return;
    }
    if (dotsPerInch != fontDotsPerInch_) {
        if (font_ != nullptr) {
            DeleteObject(font_);
            font_ = nullptr;
        }
        if (const auto font = StatusFontAt(dotsPerInch)) {
            font_ = CreateFontIndirectW(&*font);
        }
        fontDotsPerInch_ = dotsPerInch;
        padding_ = MulDiv(Padding, dotsPerInch, USER_DEFAULT_SCREEN_DPI);
    }
    text_ = WideFromUtf8(text);
    RECT measured{0, 0, 0, 0};
    if (HDC dc = GetDC(window_); dc != nullptr) {
        const HGDIOBJ previous =
            SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
        DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &measured,
                  DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, previous);
        ReleaseDC(window_, dc);
    }
    const int width = measured.right + 2 * (padding_ + 1);
    const int height = measured.bottom + 2 * (padding_ + 1);
    const Point at = HintPosition(width, height, screenPointer, ScreenAt(screenPointer),
                                  MulDiv(HintPointerHeight, dotsPerInch, USER_DEFAULT_SCREEN_DPI));
    SetWindowPos(window_, HWND_TOPMOST, at.X, at.Y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(window_, nullptr, TRUE);
}

void HintWindow::Hide() {
    if (window_ != nullptr) {
        ShowWindow(window_, SW_HIDE);
    }
}

LRESULT CALLBACK HintWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    try {
        auto* self = WindowOwner<HintWindow>(window, message, lParam);
        switch (message) {
            case WM_PAINT:
                if (self != nullptr) {
                    self->Paint();
                    return 0;
                }
                break;
            case WM_MOUSEACTIVATE:
                return MA_NOACTIVATE;
            case WM_NCHITTEST:
                // Transparent to the mouse, so it never takes the pointer from the calculator.
                return HTTRANSPARENT;
            default:
                break;
        }
    } catch (...) {
        // Nothing unwinds into the system; a hint that fails to draw is only a hint.
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void HintWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    InflateRect(&client, -padding_, -padding_);
    const HGDIOBJ previous =
        SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &client,
              DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    SelectObject(dc, previous);
    EndPaint(window_, &paint);
}
