// UI Automation's notification for the display; see AutomationNotification.h.
#include "AutomationNotification.h"

#include "WideText.h"

bool RaiseDisplayNotification(const OleLibraries& ole, IAccessible* accessible, LONG child,
                              const std::string& text) {
    if (ole.ProviderFromAccessible == nullptr || ole.RaiseNotification == nullptr ||
        accessible == nullptr) {
        return false;
    }
    IUnknown* provider = nullptr;
    if (FAILED(ole.ProviderFromAccessible(accessible, child, 0, &provider)) ||
        provider == nullptr) {
        return false;
    }
    const std::wstring wide = WideFromUtf8(text);
    BSTR said = ole.AllocateString(wide.c_str(), static_cast<UINT>(wide.size()));
    BSTR activity = ole.AllocateString(DisplayActivity, static_cast<UINT>(wcslen(DisplayActivity)));
    bool raised = false;
    if (said != nullptr && activity != nullptr) {
        raised = SUCCEEDED(ole.RaiseNotification(provider, DisplayNotificationKind,
                                                 DisplayNotificationProcessing, said, activity));
    }
    ole.FreeString(said);
    ole.FreeString(activity);
    provider->Release();
    return raised;
}
