// accessibility-client: reads and works a running calculator as a screen reader does, through
// the client side of the system's accessibility interface, for the end-to-end tests under Wine.
//
//   accessibility-client
//
// Prints one line per child of the window's client object, "<id>|<role>|<name>|<description>|
// <inside>", where inside tells whether its place lies within the window; then presses the child
// named "Sieben" by its default action and prints "entry|<name>" with the entry display's name
// once a name change of that child was seen, and "focus|<id>" for the focused child. Exits 0
// when all of that could be asked, 1 when no calculator runs or a call failed.

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>

namespace {

HWND calculator = nullptr;
LONG changedChild = 0;

VARIANT Child(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::string Utf8(BSTR text) {
    if (text == nullptr) {
        return "";
    }
    const int wideLength = static_cast<int>(SysStringLen(text));
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, wideLength, utf8.data(), length, nullptr, nullptr);
    SysFreeString(text);
    return utf8;
}

std::string Name(IAccessible* client, LONG id) {
    BSTR text = nullptr;
    client->get_accName(Child(id), &text);
    return Utf8(text);
}

void CALLBACK NameChanged(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD,
                          DWORD) {
    if (window == calculator && object == OBJID_CLIENT) {
        changedChild = child;
    }
}

// Pumps messages, which brings the out-of-context events, until the child changed its name.
bool WaitForNameChange(LONG id, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    while (changedChild != id && GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    return changedChild == id;
}

int Run() {
    calculator = FindWindowW(L"RechnerForm", nullptr);
    if (calculator == nullptr) {
        std::puts("no calculator");
        return 1;
    }
    IAccessible* client = nullptr;
    if (FAILED(AccessibleObjectFromWindow(calculator, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&client)))) {
        std::puts("no accessible object");
        return 1;
    }
    RECT window{};
    GetWindowRect(calculator, &window);
    LONG count = 0;
    client->get_accChildCount(&count);
    std::printf("window|%s\n", Name(client, CHILDID_SELF).c_str());
    LONG seven = 0;
    LONG entry = 0;
    for (LONG id = 1; id <= count; ++id) {
        VARIANT role;
        VariantInit(&role);
        client->get_accRole(Child(id), &role);
        BSTR description = nullptr;
        client->get_accDescription(Child(id), &description);
        LONG left = 0, top = 0, width = 0, height = 0;
        client->accLocation(&left, &top, &width, &height, Child(id));
        const bool inside = width > 0 && height > 0 && left >= window.left && top >= window.top &&
                            left + width <= window.right && top + height <= window.bottom;
        const std::string name = Name(client, id);
        const std::string said = Utf8(description);
        std::printf("%ld|%ld|%s|%s|%s\n", id, role.lVal, name.c_str(), said.c_str(),
                    inside ? "inside" : "outside");
        if (name == "Sieben") {
            seven = id;
        }
        if (said == "Eingabe") {
            entry = id;
        }
    }
    VARIANT focus;
    VariantInit(&focus);
    client->get_accFocus(&focus);
    std::printf("focus|%ld\n", focus.vt == VT_I4 ? focus.lVal : -1L);

    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                         NameChanged, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr || seven == 0 || entry == 0 ||
        FAILED(client->accDoDefaultAction(Child(seven)))) {
        std::puts("cannot press Sieben");
        return 1;
    }
    const bool changed = WaitForNameChange(entry, 5000);
    std::printf("entry|%s|%s\n", Name(client, entry).c_str(), changed ? "changed" : "silent");
    UnhookWinEvent(hook);
    client->Release();
    return 0;
}

}  // namespace

int main() {
    CoInitialize(nullptr);
    const int result = Run();
    CoUninitialize();
    std::fflush(stdout);
    return result;
}
