// Start-up's native side on Windows: there is always a window system, and a message box with no
// owner tells of a failed start.
#include <windows.h>

#include "NativeBackend.h"
#include "Win32Backend.h"

std::unique_ptr<NativeBackend> OpenNativeBackend() {
    return std::make_unique<Win32Backend>(GetModuleHandleW(nullptr));
}

void ShowStartupMessage(const std::string& text, const std::string& caption) {
    ShowStopBox(nullptr, text, caption);
}
