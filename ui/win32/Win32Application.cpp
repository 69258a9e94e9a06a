// Start-up's native side on Windows: there is always a window system, and a message box with no
// owner tells of a failed start.
#include <windows.h>

#include "NativeBackend.h"
#include "WideText.h"
#include "Win32Backend.h"

std::unique_ptr<NativeBackend> OpenNativeBackend() {
    return std::make_unique<Win32Backend>(GetModuleHandleW(nullptr));
}

void ShowStartupMessage(const std::string& text, const std::string& caption) {
    const std::wstring wideText = WideFromUtf8(text);
    const std::wstring wideCaption = WideFromUtf8(caption);
    MessageBoxW(nullptr, wideText.c_str(), wideCaption.c_str(), MB_OK | MB_ICONSTOP);
}
