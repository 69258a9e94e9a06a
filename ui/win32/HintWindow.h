#pragma once
// The hint beside the pointer: a small topmost window in the system's tooltip colours that never
// takes the focus, so it shows while the calculator is inactive too. The form decides when.

#include <windows.h>

#include <string>

#include "FormTypes.h"

class HintWindow {
public:
    explicit HintWindow(HINSTANCE instance);
    ~HintWindow();
    HintWindow(const HintWindow&) = delete;
    HintWindow& operator=(const HintWindow&) = delete;

    // In the system's tooltip font at the resolution of the calculator's monitor.
    void ShowAt(const std::string& text, Point screenPointer, int dotsPerInch);
    void Hide();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void Paint();

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    int fontDotsPerInch_ = 0;  // what font_ was made for
    int padding_ = 0;
    std::wstring text_;
};
