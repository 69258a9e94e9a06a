// uiautomationcore.dll as the end-to-end tests put it beside a copy of the calculator, since
// Wine 8's UI Automation has no notification: the two functions the calculator asks for, the
// second of which writes each notification's text to the standard error as a line
// "notification|<text>" in UTF-8, for the test to compare with what the display showed.

#include <windows.h>

#include <oleacc.h>

#include <string>

extern "C" {
__declspec(dllexport) HRESULT WINAPI UiaProviderFromIAccessible(IAccessible* accessible, long child,
                                                                DWORD flags, IUnknown** provider);
__declspec(dllexport) HRESULT WINAPI
    UiaRaiseNotificationEvent(IUnknown* provider, int kind, int processing, BSTR text,
                              BSTR activity);
}

namespace {

// One provider for every element, living as long as the library. COM interfaces have no virtual
// destructor by design, and nothing deletes this one.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class StandInProvider : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};
#pragma GCC diagnostic pop

StandInProvider provider;

}  // namespace

HRESULT WINAPI UiaProviderFromIAccessible(IAccessible*, long, DWORD, IUnknown** found) {
    *found = &provider;
    return S_OK;
}

HRESULT WINAPI UiaRaiseNotificationEvent(IUnknown*, int, int, BSTR text, BSTR) {
    // A BSTR's length is kept in the four bytes before its first character.
    const int length =
        text == nullptr ? 0 : static_cast<int>(reinterpret_cast<UINT*>(text)[-1] / 2);
    std::string line = "notification|";
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    const std::size_t start = line.size();
    line.resize(start + static_cast<std::size_t>(bytes));
    WideCharToMultiByte(CP_UTF8, 0, text, length, line.data() + start, bytes, nullptr, nullptr);
    line += '\n';
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), line.data(), static_cast<DWORD>(line.size()),
              &written, nullptr);
    return S_OK;
}
