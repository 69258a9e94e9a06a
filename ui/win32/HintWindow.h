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

    void ShowAt(const std::string& text, Point screenPointer);
    void Hide();

private:
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    void Paint();

    HWND window_ = nullptr;
    HFONT font_ = nullptr;
    std::wstring text_;
};
