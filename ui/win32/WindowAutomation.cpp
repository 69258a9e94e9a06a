// The window's UI Automation extension; see WindowAutomation.h.
#include "WindowAutomation.h"

namespace {

// BOOL is an int, so one routine answers the flags and the states.
HRESULT Answer(int* out, int value) {
    if (out == nullptr) {
        return E_POINTER;
    }
    *out = value;
    return S_OK;
}

}  // namespace

WindowAutomation::WindowAutomation(HWND window, IAccessible* accessible)
    : window_(window), accessible_(accessible) {
    accessible_->AddRef();
}

WindowAutomation::~WindowAutomation() {
    accessible_->Release();
}

HRESULT WindowAutomation::QueryInterface(REFIID interfaceId, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IAccessibleEx)) {
        *object = static_cast<IAccessibleEx*>(this);
    } else if (IsEqualIID(interfaceId, IID_IRawElementProviderSimple)) {
        *object = static_cast<IRawElementProviderSimple*>(this);
    } else if (IsEqualIID(interfaceId, IID_IWindowPatternProvider)) {
        *object = static_cast<IWindowPatternProvider*>(this);
    } else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG WindowAutomation::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG WindowAutomation::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT WindowAutomation::GetObjectForChild(LONG, IAccessibleEx** extension) {
    if (extension == nullptr) {
        return E_POINTER;
    }
    *extension = nullptr;
    return S_OK;
}

HRESULT WindowAutomation::GetIAccessiblePair(IAccessible** accessible, LONG* child) {
    if (accessible == nullptr || child == nullptr) {
        return E_POINTER;
    }
    accessible_->AddRef();
    *accessible = accessible_;
    *child = CHILDID_SELF;
    return S_OK;
}

HRESULT WindowAutomation::GetRuntimeId(SAFEARRAY** id) {
    // The window's element is known by its window; the proxy compares the rest itself.
    if (id != nullptr) {
        *id = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT WindowAutomation::ConvertReturnedElement(IRawElementProviderSimple*,
                                                 IAccessibleEx** extension) {
    if (extension != nullptr) {
        *extension = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT WindowAutomation::get_ProviderOptions(ProviderOptions* options) {
    if (options == nullptr) {
        return E_POINTER;
    }
    *options = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider |
                                            ProviderOptions_UseComThreading);
    return S_OK;
}

HRESULT WindowAutomation::GetPatternProvider(PATTERNID pattern, IUnknown** provider) {
    if (provider == nullptr) {
        return E_POINTER;
    }
    *provider = nullptr;
    if (pattern == WindowPatternId) {
        *provider = static_cast<IWindowPatternProvider*>(this);
        AddRef();
    }
    return S_OK;
}

HRESULT WindowAutomation::GetPropertyValue(PROPERTYID property, VARIANT* value) {
    if (value == nullptr) {
        return E_POINTER;
    }
    value->vt = VT_EMPTY;
    if (property == ControlTypePropertyId) {
        value->vt = VT_I4;
        value->lVal = WindowControlTypeId;
    }
    return S_OK;
}

HRESULT WindowAutomation::get_HostRawElementProvider(IRawElementProviderSimple** host) {
    if (host == nullptr) {
        return E_POINTER;
    }
    *host = nullptr;
    return S_OK;
}

HRESULT WindowAutomation::SetVisualState(int state) {
    // The window has one size and is never minimised or maximised.
    return state == WindowPatternNormal ? S_OK : InvalidOperation;
}

HRESULT WindowAutomation::Close() {
    return PostMessageW(window_, WM_CLOSE, 0, 0) ? S_OK : ElementNotAvailable;
}

HRESULT WindowAutomation::WaitForInputIdle(int, BOOL* idle) {
    return Answer(idle, TRUE);
}

HRESULT WindowAutomation::get_CanMaximize(BOOL* can) {
    return Answer(can, FALSE);
}

HRESULT WindowAutomation::get_CanMinimize(BOOL* can) {
    return Answer(can, FALSE);
}

HRESULT WindowAutomation::get_IsModal(BOOL* modal) {
    return Answer(modal, FALSE);
}

HRESULT WindowAutomation::get_WindowVisualState(int* state) {
    return Answer(state, WindowPatternNormal);
}

HRESULT WindowAutomation::get_WindowInteractionState(int* state) {
    return Answer(state, WindowPatternReadyForUserInteraction);
}

HRESULT WindowAutomation::get_IsTopmost(BOOL* topmost) {
    return Answer(topmost, TRUE);
}
