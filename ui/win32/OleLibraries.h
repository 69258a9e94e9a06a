#pragma once
// The system's accessibility, COM and UI Automation functions, loaded when a screen reader first
// asks for the window, so that a session without one never maps oleacc, ole32 or oleaut32 and
// starts as fast as before. UI Automation's notification is found only where the system has it
// (Windows 10 1709 on; Wine 8 has none), so it is looked up and never imported.

#include <windows.h>

#include <oleacc.h>

struct OleLibraries {
    decltype(&LresultFromObject) ResultFromObject = nullptr;
    decltype(&CreateStdAccessibleObject) CreateStandardObject = nullptr;
    decltype(&CoDisconnectObject) DisconnectObject = nullptr;
    decltype(&SysAllocStringLen) AllocateString = nullptr;
    decltype(&SysFreeString) FreeString = nullptr;
    // Both or neither: the element's UI Automation provider, and its notification.
    HRESULT(WINAPI* ProviderFromAccessible)(IAccessible*, long, DWORD, IUnknown**) = nullptr;
    HRESULT(WINAPI* RaiseNotification)(IUnknown*, int, int, BSTR, BSTR) = nullptr;
};

// The functions, loaded and COM started on this thread at the first call; nullptr when a
// library or function is missing or COM cannot start, and then at every later call too.
const OleLibraries* LoadOleLibraries();
