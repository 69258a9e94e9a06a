#pragma once
// The calculator's client area as a screen reader sees it: one IAccessible whose children are the
// form's accessible elements as simple elements, child id n for element n - 1. Names, roles,
// places, states, keys, actions and the focus come from the form, which this only translates; a
// press is posted to the window, so that it reaches the form as every other input does, through the
// window procedure. No exception leaves a method: each returns an HRESULT, and once the form is
// gone every call fails as disconnected.

#include <windows.h>

#include <oleacc.h>
#include <servprov.h>

#include <cstddef>
#include <optional>

#include "Form.h"
#include "OleLibraries.h"

// COM interfaces have no virtual destructor by design: the object deletes itself in Release, and
// nobody deletes it through the interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FormAccessible final : public IAccessible, public IServiceProvider {
public:
    // pressMessage is posted to the window with the element's index as wParam.
    FormAccessible(HWND window, const Form& form, const OleLibraries& ole, UINT pressMessage);
    FormAccessible(const FormAccessible&) = delete;
    FormAccessible& operator=(const FormAccessible&) = delete;

    // The form is going: every later call fails, whoever still holds the object.
    void Detach();

    static LONG ChildId(std::size_t element) { return static_cast<LONG>(element) + 1; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interfaceId, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IServiceProvider: the window's UI Automation extension, for the proxy that shows this
    // object to UI Automation's readers.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID interfaceId,
                                           void** object) override;

    // IDispatch: not offered; readers use the IAccessible methods.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height,
                                          VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

private:
    ~FormAccessible() = default;

    // The element a child id names, or nullopt for the client area itself; false for an id that
    // names nothing of ours.
    bool ElementOf(const VARIANT& child, std::optional<std::size_t>& element) const;
    // A text for the reader: S_FALSE and no string for an empty one.
    HRESULT TextResult(const std::string& text, BSTR* result) const;
    // Runs one method's work: E_POINTER without a place for the answer, disconnected without the
    // form, E_FAIL for whatever it throws.
    template <typename Work>
    HRESULT Answer(const void* out, Work&& work) const;
    // The same for a method about one child: its answer cleared first, E_INVALIDARG for an id
    // that names nothing of ours, else work(element).
    template <typename Out, typename Work>
    HRESULT AnswerAbout(const VARIANT& child, Out* out, Work&& work) const;

    LONG references_ = 1;
    HWND window_;
    const Form* form_;
    const OleLibraries& ole_;
    UINT pressMessage_;
};
#pragma GCC diagnostic pop
