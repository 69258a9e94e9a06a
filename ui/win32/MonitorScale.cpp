// The window's resolution and the form font measured at it; see MonitorScale.h.
#include "MonitorScale.h"

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// A user32 function that older systems lack, or nullptr there; user32 stays loaded for the
// program's life.
template <typename Function>
Function User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 != nullptr
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
               : nullptr;
}

GetDpiForWindowFunction GetDpiForWindowIfPresent() {
    static const auto function = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    return function;
}

SystemParametersInfoForDpiFunction SystemParametersInfoForDpiIfPresent() {
    static const auto function =
        User32Function<SystemParametersInfoForDpiFunction>("SystemParametersInfoForDpi");
    return function;
}

int SystemDotsPerInch() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return USER_DEFAULT_SCREEN_DPI;
    }
    const int dotsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dotsPerInch > 0 ? dotsPerInch : USER_DEFAULT_SCREEN_DPI;
}

}  // namespace

int WindowDotsPerInch(HWND window) {
    if (const auto getDpiForWindow = GetDpiForWindowIfPresent();
        getDpiForWindow != nullptr && window != nullptr) {
        if (const UINT dotsPerInch = getDpiForWindow(window); dotsPerInch != 0) {
            return static_cast<int>(dotsPerInch);
        }
    }
    return SystemDotsPerInch();
}

std::optional<LOGFONTW> StatusFontAt(int dotsPerInch) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (const auto forDpi = SystemParametersInfoForDpiIfPresent(); forDpi != nullptr) {
        if (forDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                   static_cast<UINT>(dotsPerInch))) {
            return metrics.lfStatusFont;
        }
    }
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
        return std::nullopt;
    }
    // Given at the system's resolution: scaled to the monitor's.
    metrics.lfStatusFont.lfHeight =
        MulDiv(metrics.lfStatusFont.lfHeight, dotsPerInch, SystemDotsPerInch());
    return metrics.lfStatusFont;
}

ScaleFactor FormScaleAt(int dotsPerInch) {
    return {dotsPerInch, USER_DEFAULT_SCREEN_DPI};
}
