#pragma once
// The window as UI Automation sees it beyond its IAccessible: an extension of the client area's
// IAccessible (IAccessibleEx) that gives the pop-up window the Window control pattern. UI
// Automation delivers a notification from a WS_POPUP window only when the window has that
// pattern; readers keep reading names, roles and states from the IAccessible, and the window
// still answers no UI Automation root of its own, so that readers which prefer IAccessible for
// such a window go on using it. The window cannot be resized, minimised or maximised; it stays
// on top; closing it takes the route of the platform's close command.

#include <windows.h>

#include <oleacc.h>
#include <uiautomationcore.h>

// Not declared by every SDK's headers: UI Automation's Window control pattern, in the order of
// its interface definition.
enum WindowPatternVisualState { WindowPatternNormal = 0 };
enum WindowPatternInteractionState { WindowPatternReadyForUserInteraction = 2 };

// COM interfaces have no virtual destructor by design: the object deletes itself in Release, and
// nobody deletes it through the interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
struct IWindowPatternProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetVisualState(int state) = 0;
    virtual HRESULT STDMETHODCALLTYPE Close() = 0;
    virtual HRESULT STDMETHODCALLTYPE WaitForInputIdle(int milliseconds, BOOL* idle) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CanMaximize(BOOL* can) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CanMinimize(BOOL* can) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsModal(BOOL* modal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WindowVisualState(int* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_WindowInteractionState(int* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsTopmost(BOOL* topmost) = 0;
};

inline constexpr IID IID_IWindowPatternProvider = {
    0x987df77b, 0xdb06, 0x4d77, {0x8f, 0x8a, 0x86, 0xa9, 0xc3, 0xbb, 0x90, 0xb9}};
// UI Automation's identifiers of the Window pattern and of the control-type property.
inline constexpr PATTERNID WindowPatternId = 10009;
inline constexpr PROPERTYID ControlTypePropertyId = 30003;
inline constexpr LONG WindowControlTypeId = 50032;
// UI Automation's errors for an operation the element refuses, and for an element that is gone.
inline constexpr HRESULT InvalidOperation = static_cast<HRESULT>(0x80131509);
inline constexpr HRESULT ElementNotAvailable = static_cast<HRESULT>(0x80040201);

class WindowAutomation final : public IAccessibleEx,
                               public IRawElementProviderSimple,
                               public IWindowPatternProvider {
public:
    // For the client area's IAccessible, which it holds while it lives; closing asks the window
    // to close as the platform's close command does.
    WindowAutomation(HWND window, IAccessible* accessible);
    WindowAutomation(const WindowAutomation&) = delete;
    WindowAutomation& operator=(const WindowAutomation&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IAccessibleEx: the window's own element only; its children are the IAccessible's.
    HRESULT STDMETHODCALLTYPE GetObjectForChild(LONG child, IAccessibleEx** extension) override;
    HRESULT STDMETHODCALLTYPE GetIAccessiblePair(IAccessible** accessible, LONG* child) override;
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** id) override;
    HRESULT STDMETHODCALLTYPE ConvertReturnedElement(IRawElementProviderSimple* element,
                                                     IAccessibleEx** extension) override;

    // IRawElementProviderSimple: the Window pattern and the control type; everything else the
    // IAccessible answers.
    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* options) override;
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** provider) override;
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* value) override;
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** host) override;

    // The Window pattern.
    HRESULT STDMETHODCALLTYPE SetVisualState(int state) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE WaitForInputIdle(int milliseconds, BOOL* idle) override;
    HRESULT STDMETHODCALLTYPE get_CanMaximize(BOOL* can) override;
    HRESULT STDMETHODCALLTYPE get_CanMinimize(BOOL* can) override;
    HRESULT STDMETHODCALLTYPE get_IsModal(BOOL* modal) override;
    HRESULT STDMETHODCALLTYPE get_WindowVisualState(int* state) override;
    HRESULT STDMETHODCALLTYPE get_WindowInteractionState(int* state) override;
    HRESULT STDMETHODCALLTYPE get_IsTopmost(BOOL* topmost) override;

private:
    ~WindowAutomation();

    LONG references_ = 1;
    HWND window_;
    IAccessible* accessible_;
};
#pragma GCC diagnostic pop
