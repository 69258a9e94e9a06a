// The client area's IAccessible; see FormAccessible.h.
#include "FormAccessible.h"

#include <exception>
#include <new>
#include <string>

#include "WideText.h"
#include "WindowAutomation.h"

namespace {

void SetChild(VARIANT* variant, LONG id) {
    variant->vt = VT_I4;
    variant->lVal = id;
}

// An answer starts empty, so that a failed call hands back nothing the reader's side would free.
void Clear(BSTR* text) {
    *text = nullptr;
}

void Clear(VARIANT* variant) {
    variant->vt = VT_EMPTY;
}

}  // namespace

FormAccessible::FormAccessible(HWND window, const Form& form, const OleLibraries& ole,
                               UINT pressMessage)
    : window_(window), form_(&form), ole_(ole), pressMessage_(pressMessage) {}

void FormAccessible::Detach() {
    form_ = nullptr;
}

template <typename Work>
HRESULT FormAccessible::Answer(const void* out, Work&& work) const {
    if (out == nullptr) {
        return E_POINTER;
    }
    if (form_ == nullptr) {
        return RPC_E_DISCONNECTED;
    }
    try {
        return work();
    } catch (...) {
        return E_FAIL;
    }
}

template <typename Out, typename Work>
HRESULT FormAccessible::AnswerAbout(const VARIANT& child, Out* out, Work&& work) const {
    return Answer(out, [&] {
        Clear(out);
        std::optional<std::size_t> element;
        if (!ElementOf(child, element)) {
            return E_INVALIDARG;
        }
        return work(element);
    });
}

HRESULT FormAccessible::QueryInterface(REFIID interfaceId, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(interfaceId, IID_IUnknown) || IsEqualIID(interfaceId, IID_IDispatch) ||
        IsEqualIID(interfaceId, IID_IAccessible)) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    if (IsEqualIID(interfaceId, IID_IServiceProvider)) {
        *object = static_cast<IServiceProvider*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT FormAccessible::QueryService(REFGUID, REFIID interfaceId, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (!IsEqualIID(interfaceId, IID_IAccessibleEx)) {
        return E_NOINTERFACE;
    }
    auto* extension = new (std::nothrow) WindowAutomation(window_, this);
    if (extension == nullptr) {
        return E_OUTOFMEMORY;
    }
    const HRESULT result = extension->QueryInterface(interfaceId, object);
    extension->Release();
    return result;
}

ULONG FormAccessible::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG FormAccessible::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

HRESULT FormAccessible::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT FormAccessible::GetTypeInfo(UINT, LCID, ITypeInfo**) {
    return E_NOTIMPL;
}

HRESULT FormAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT FormAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) {
    return E_NOTIMPL;
}

bool FormAccessible::ElementOf(const VARIANT& child, std::optional<std::size_t>& element) const {
    if (child.vt != VT_I4 || child.lVal < 0 ||
        static_cast<std::size_t>(child.lVal) > form_->AccessibleCount()) {
        return false;
    }
    element = child.lVal == CHILDID_SELF
                  ? std::nullopt
                  : std::optional<std::size_t>(static_cast<std::size_t>(child.lVal) - 1);
    return true;
}

HRESULT FormAccessible::TextResult(const std::string& text, BSTR* result) const {
    *result = nullptr;
    if (text.empty()) {
        return S_FALSE;
    }
    const std::wstring wide = WideFromUtf8(text);
    *result = ole_.AllocateString(wide.c_str(), static_cast<UINT>(wide.size()));
    return *result != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT FormAccessible::get_accParent(IDispatch** parent) {
    return Answer(parent, [&] {
        *parent = nullptr;
        return ole_.CreateStandardObject(window_, OBJID_WINDOW, IID_IDispatch,
                                         reinterpret_cast<void**>(parent));
    });
}

HRESULT FormAccessible::get_accChildCount(LONG* count) {
    return Answer(count, [&] {
        *count = static_cast<LONG>(form_->AccessibleCount());
        return S_OK;
    });
}

HRESULT FormAccessible::get_accChild(VARIANT child, IDispatch** object) {
    return Answer(object, [&] {
        *object = nullptr;
        std::optional<std::size_t> element;
        // The children are simple elements: the reader asks this object about them.
        return ElementOf(child, element) && element ? S_FALSE : E_INVALIDARG;
    });
}

HRESULT FormAccessible::get_accName(VARIANT child, BSTR* name) {
    return AnswerAbout(child, name, [&](std::optional<std::size_t> element) {
        return TextResult(element ? form_->Accessible(*element).Name : form_->Title(), name);
    });
}

HRESULT FormAccessible::get_accValue(VARIANT, BSTR* value) {
    return Answer(value, [&] {
        *value = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT FormAccessible::get_accDescription(VARIANT child, BSTR* description) {
    return AnswerAbout(child, description, [&](std::optional<std::size_t> element) {
        return TextResult(element ? form_->Accessible(*element).Description : "", description);
    });
}

HRESULT FormAccessible::get_accRole(VARIANT child, VARIANT* role) {
    return AnswerAbout(child, role, [&](std::optional<std::size_t> element) {
        LONG value = ROLE_SYSTEM_CLIENT;
        if (element) {
            // Readers speak a name change of the focused element whatever its role; the display
            // is text they read, as the display texts are.
            value = form_->Accessible(*element).Role == AccessibleRole::PushButton
                        ? ROLE_SYSTEM_PUSHBUTTON
                        : ROLE_SYSTEM_STATICTEXT;
        }
        SetChild(role, value);
        return S_OK;
    });
}

HRESULT FormAccessible::get_accState(VARIANT child, VARIANT* state) {
    return AnswerAbout(child, state, [&](std::optional<std::size_t> element) {
        LONG value = STATE_SYSTEM_FOCUSABLE;
        if (element) {
            const AccessibleElement about = form_->Accessible(*element);
            value = about.Role == AccessibleRole::PushButton ? 0 : STATE_SYSTEM_READONLY;
            value |= (about.Focusable ? STATE_SYSTEM_FOCUSABLE : 0) |
                     (about.Focused ? STATE_SYSTEM_FOCUSED : 0);
        }
        SetChild(state, value);
        return S_OK;
    });
}

HRESULT FormAccessible::get_accHelp(VARIANT, BSTR* help) {
    return Answer(help, [&] {
        *help = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT FormAccessible::get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) {
    return Answer(file, [&] {
        *file = nullptr;
        if (topic != nullptr) {
            *topic = 0;
        }
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT FormAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    return AnswerAbout(child, shortcut, [&](std::optional<std::size_t> element) {
        return TextResult(element ? form_->Accessible(*element).Shortcut : "", shortcut);
    });
}

HRESULT FormAccessible::get_accFocus(VARIANT* child) {
    return Answer(child, [&] {
        child->vt = VT_EMPTY;
        const std::optional<std::size_t> focus = form_->AccessibleFocusIndex();
        if (!focus || !form_->Accessible(*focus).Focused) {
            return S_FALSE;
        }
        SetChild(child, ChildId(*focus));
        return S_OK;
    });
}

HRESULT FormAccessible::get_accSelection(VARIANT* children) {
    return Answer(children, [&] {
        children->vt = VT_EMPTY;
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT FormAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    return AnswerAbout(child, action, [&](std::optional<std::size_t> element) {
        const std::string said = element ? form_->Accessible(*element).Action : "";
        return said.empty() ? DISP_E_MEMBERNOTFOUND : TextResult(said, action);
    });
}

HRESULT FormAccessible::accSelect(LONG, VARIANT) {
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT FormAccessible::accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                    VARIANT child) {
    const bool places = left != nullptr && top != nullptr && width != nullptr && height != nullptr;
    return Answer(places ? left : nullptr, [&] {
        std::optional<std::size_t> element;
        if (!ElementOf(child, element)) {
            return E_INVALIDARG;
        }
        RECT client{};
        GetClientRect(window_, &client);
        Rect bounds{0, 0, client.right, client.bottom};
        if (element) {
            bounds = form_->Accessible(*element).Bounds;
        }
        POINT origin{bounds.Left, bounds.Top};
        ClientToScreen(window_, &origin);
        *left = origin.x;
        *top = origin.y;
        *width = bounds.Width;
        *height = bounds.Height;
        return S_OK;
    });
}

HRESULT FormAccessible::accNavigate(LONG, VARIANT, VARIANT* end) {
    return Answer(end, [&] {
        end->vt = VT_EMPTY;
        return DISP_E_MEMBERNOTFOUND;
    });
}

HRESULT FormAccessible::accHitTest(LONG left, LONG top, VARIANT* child) {
    return Answer(child, [&] {
        child->vt = VT_EMPTY;
        POINT point{left, top};
        ScreenToClient(window_, &point);
        RECT client{};
        GetClientRect(window_, &client);
        if (!PtInRect(&client, point)) {
            return S_FALSE;
        }
        const std::optional<std::size_t> element = form_->AccessibleAt({point.x, point.y});
        SetChild(child, element ? ChildId(*element) : CHILDID_SELF);
        return S_OK;
    });
}

HRESULT FormAccessible::accDoDefaultAction(VARIANT child) {
    return Answer(&child, [&] {
        std::optional<std::size_t> element;
        if (!ElementOf(child, element)) {
            return E_INVALIDARG;
        }
        if (!element || form_->Accessible(*element).Action.empty()) {
            return DISP_E_MEMBERNOTFOUND;
        }
        // The reader's call returns at once; the press follows as input does.
        return PostMessageW(window_, pressMessage_, *element, 0) ? S_OK : E_FAIL;
    });
}

HRESULT FormAccessible::put_accName(VARIANT, BSTR) {
    return E_NOTIMPL;
}

HRESULT FormAccessible::put_accValue(VARIANT, BSTR) {
    return E_NOTIMPL;
}
