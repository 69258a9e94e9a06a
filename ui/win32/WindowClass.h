#pragma once
// The plumbing every window of ours shares: registering its class, and finding the C++ object a
// window belongs to from inside the static window procedure. The object is handed to
// CreateWindowExW as its last parameter and kept with the window from WM_NCCREATE on.

#include <windows.h>

struct WindowClassLook {
    UINT Style = 0;
    HICON Icon = nullptr;
    HBRUSH Background = nullptr;
};

// The class with the arrow cursor and the given look; a failure shows when the window is created.
void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure,
                         const WindowClassLook& look);

// The object the window was created for; nullptr for messages before WM_NCCREATE.
void* WindowOwnerPointer(HWND window, UINT message, LPARAM lParam);

template <typename Owner>
Owner* WindowOwner(HWND window, UINT message, LPARAM lParam) {
    return static_cast<Owner*>(WindowOwnerPointer(window, message, lParam));
}
