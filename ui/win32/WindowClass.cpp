// Window classes and the window's object; see WindowClass.h.
#include "WindowClass.h"

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                         const WindowClassLook& look) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = look.Style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = look.Icon;
    windowClass.hIconSm = look.Icon;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = look.Background;
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

void* WindowOwnerPointer(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    return reinterpret_cast<void*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}
