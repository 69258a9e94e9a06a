// The window's UI Automation extension, asked for as the system's proxy asks the client area's
// IAccessible for it: what it says of the window and how it keeps the references it takes; and
// the display's focus as the IAccessible states it.

#include <gtest/gtest.h>

#include "FormAccessible.h"
#include "RecordingBackend.h"
#include "WindowAutomation.h"

namespace {

template <typename Interface>
Interface* Ask(IUnknown* object, const IID& interfaceId) {
    void* found = nullptr;
    EXPECT_EQ(object->QueryInterface(interfaceId, &found), S_OK);
    return static_cast<Interface*>(found);
}

// How many references the object holds: one more than before, once taken back.
ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

TEST(WindowAutomation, GivesThePopUpWindowTheWindowPatternAndLeavesTheRestToTheIAccessible) {
    RecordingBackend backend;
    Form form(backend, "Rechner", 126, 224, {}, Picture{});
    const OleLibraries ole;
    auto* accessible = new FormAccessible(nullptr, form, ole, WM_APP);
    IUnknown* client = static_cast<IAccessible*>(accessible);
    const ULONG unused = References(client);

    auto* services = Ask<IServiceProvider>(client, IID_IServiceProvider);
    ASSERT_NE(services, nullptr);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(services->QueryService(IID_IAccessible, IID_IDispatch, &other), E_NOINTERFACE)
        << "nothing else is served, so readers that ask for more use the IAccessible";
    EXPECT_EQ(other, nullptr);
    IAccessibleEx* extension = nullptr;
    ASSERT_EQ(services->QueryService(IID_IAccessibleEx, IID_IAccessibleEx,
                                     reinterpret_cast<void**>(&extension)),
              S_OK);
    services->Release();

    IAccessible* pair = nullptr;
    LONG child = -1;
    ASSERT_EQ(extension->GetIAccessiblePair(&pair, &child), S_OK);
    EXPECT_EQ(pair, static_cast<IAccessible*>(accessible));
    EXPECT_EQ(child, CHILDID_SELF);
    pair->Release();
    IAccessibleEx* forChild = reinterpret_cast<IAccessibleEx*>(1);
    EXPECT_EQ(extension->GetObjectForChild(1, &forChild), S_OK);
    EXPECT_EQ(forChild, nullptr) << "the children are the IAccessible's alone";

    auto* element = Ask<IRawElementProviderSimple>(extension, IID_IRawElementProviderSimple);
    ProviderOptions options{};
    ASSERT_EQ(element->get_ProviderOptions(&options), S_OK);
    EXPECT_TRUE(options & ProviderOptions_ServerSideProvider);
    VARIANT value;
    ASSERT_EQ(element->GetPropertyValue(ControlTypePropertyId, &value), S_OK);
    EXPECT_EQ(value.vt, VT_I4);
    EXPECT_EQ(value.lVal, WindowControlTypeId);
    ASSERT_EQ(element->GetPropertyValue(30005 /* the name */, &value), S_OK);
    EXPECT_EQ(value.vt, VT_EMPTY) << "the IAccessible names the window";
    IUnknown* pattern = reinterpret_cast<IUnknown*>(1);
    EXPECT_EQ(element->GetPatternProvider(10002 /* value */, &pattern), S_OK);
    EXPECT_EQ(pattern, nullptr);
    ASSERT_EQ(element->GetPatternProvider(WindowPatternId, &pattern), S_OK);
    ASSERT_NE(pattern, nullptr);
    auto* window = Ask<IWindowPatternProvider>(pattern, IID_IWindowPatternProvider);
    pattern->Release();

    BOOL flag = -1;
    int state = -1;
    EXPECT_EQ(window->get_IsTopmost(&flag), S_OK);
    EXPECT_TRUE(flag);
    for (auto ask :
         {&IWindowPatternProvider::get_CanMaximize, &IWindowPatternProvider::get_CanMinimize,
          &IWindowPatternProvider::get_IsModal}) {
        flag = -1;
        EXPECT_EQ((window->*ask)(&flag), S_OK);
        EXPECT_FALSE(flag);
    }
    EXPECT_EQ(window->get_WindowVisualState(&state), S_OK);
    EXPECT_EQ(state, WindowPatternNormal);
    EXPECT_EQ(window->get_WindowInteractionState(&state), S_OK);
    EXPECT_EQ(state, WindowPatternReadyForUserInteraction);
    EXPECT_EQ(window->SetVisualState(WindowPatternNormal), S_OK);
    EXPECT_EQ(window->SetVisualState(WindowPatternNormal + 1), InvalidOperation);
    EXPECT_EQ(window->get_IsTopmost(nullptr), E_POINTER);

    window->Release();
    element->Release();
    extension->Release();
    EXPECT_EQ(References(client), unused) << "the extension gave back what it held";
    client->Release();
}

TEST(FormAccessible, TheDisplayStatesTheFocusOnlyWhileTheProgramIsActive) {
    RecordingBackend backend;
    Form form(backend, "Rechner", 126, 224, {}, Picture{});
    form.AccessibleOrder = {"Anzeige"};
    form.Display.Name = "Anzeige";
    const OleLibraries ole;
    auto* accessible = new FormAccessible(nullptr, form, ole, WM_APP);
    const auto state = [&] {
        VARIANT child;
        child.vt = VT_I4;
        child.lVal = FormAccessible::ChildId(*form.AccessibleFocusIndex());
        VARIANT value;
        VariantInit(&value);
        EXPECT_EQ(accessible->get_accState(child, &value), S_OK);
        return value.lVal;
    };
    form.Activate();
    EXPECT_TRUE(state() & STATE_SYSTEM_FOCUSED);
    form.Deactivate();
    EXPECT_TRUE(state() & STATE_SYSTEM_FOCUSABLE);
    EXPECT_FALSE(state() & STATE_SYSTEM_FOCUSED) << "focused because it can take the focus";
    accessible->Release();
}

}  // namespace
