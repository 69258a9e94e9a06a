// The display's UI Automation notification against stand-ins for the system's functions: what
// it asks for, what it hands over, and that it does nothing where the system lacks them.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AutomationNotification.h"

namespace {

// A provider that counts its references, as the system's would be released. COM interfaces have
// no virtual destructor by design, and nothing deletes this one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class CountedProvider : public IUnknown {
public:
    LONG References = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++References); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--References); }
};
#pragma GCC diagnostic pop

struct Raised {
    IUnknown* Provider;
    int Kind;
    int Processing;
    std::wstring Text;
    std::wstring Activity;
};

CountedProvider provider;
HRESULT providerResult = S_OK;
std::vector<long> askedChildren;
std::vector<Raised> raised;

HRESULT WINAPI ProviderFor(IAccessible*, long child, DWORD, IUnknown** found) {
    askedChildren.push_back(child);
    *found = nullptr;
    if (FAILED(providerResult)) {
        return providerResult;
    }
    provider.AddRef();
    *found = &provider;
    return S_OK;
}

HRESULT WINAPI Raise(IUnknown* from, int kind, int processing, BSTR text, BSTR activity) {
    raised.push_back({from, kind, processing, std::wstring(text, SysStringLen(text)),
                      std::wstring(activity, SysStringLen(activity))});
    return S_OK;
}

OleLibraries Libraries(bool withNotification) {
    OleLibraries ole;
    ole.AllocateString = SysAllocStringLen;
    ole.FreeString = SysFreeString;
    if (withNotification) {
        ole.ProviderFromAccessible = ProviderFor;
        ole.RaiseNotification = Raise;
    }
    return ole;
}

TEST(DisplayNotification, SaysTheTextOnceAsTheMostRecentImportantOneOfOneActivity) {
    raised.clear();
    askedChildren.clear();
    providerResult = S_OK;
    // Never called through: the stand-in provider ignores the object it is made from.
    auto* accessible = reinterpret_cast<IAccessible*>(&provider);

    EXPECT_TRUE(RaiseDisplayNotification(Libraries(true), accessible, 1, "15"));
    EXPECT_TRUE(RaiseDisplayNotification(Libraries(true), accessible, 1,
                                         "F\xC3\xBC"
                                         "nf"));
    ASSERT_EQ(raised.size(), 2u);
    EXPECT_EQ(askedChildren, (std::vector<long>{1, 1}));
    EXPECT_EQ(raised[0].Provider, &provider);
    EXPECT_EQ(raised[0].Text, L"15");
    EXPECT_EQ(raised[1].Text, L"F\u00fcnf");
    for (const Raised& one : raised) {
        EXPECT_EQ(one.Kind, 4) << "NotificationKind_Other";
        EXPECT_EQ(one.Processing, 1) << "NotificationProcessing_ImportantMostRecent";
        EXPECT_EQ(one.Activity, raised[0].Activity) << "one activity for every update";
    }
    EXPECT_FALSE(raised[0].Activity.empty());
    EXPECT_EQ(provider.References, 1) << "each provider asked for is released";

    // A system without the notification (Wine 8, Windows before 10 1709), a provider that
    // cannot be made, and no accessible object yet: nothing is raised.
    raised.clear();
    EXPECT_FALSE(RaiseDisplayNotification(Libraries(false), accessible, 1, "15"));
    EXPECT_FALSE(RaiseDisplayNotification(Libraries(true), nullptr, 1, "15"));
    providerResult = E_FAIL;
    EXPECT_FALSE(RaiseDisplayNotification(Libraries(true), accessible, 1, "15"));
    EXPECT_TRUE(raised.empty());
    EXPECT_EQ(provider.References, 1);
}

}  // namespace
