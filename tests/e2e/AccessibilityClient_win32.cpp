// accessibility-client: reads and works a running calculator as a screen reader does, through
// the client side of the system's accessibility interface, for the end-to-end tests under Wine.
//
//   accessibility-client
//
// Prints one line per child of the window's client object, "<id>|<role>|<name>|<description>|
// <inside>|<shortcut>|<default action>", where inside tells whether its place lies within the
// window; "focus|<id>" for the focused child; "notification|present" or "notification|absent"
// for whether the system has UI Automation's notification. Then presses keys by their default
// action, one after another (Sieben Plus Acht Gleich, then Zwei Mal Eins Gleich Gleich), and
// after each prints "key|<key>|<name of the focused child>|<events>", the events being the
// WinEvents about the window's children seen until they settled, "<event>:<child id>" joined by
// ",", in the order they came (name for a name change, focus, value for a value change). Exits 0
// when all of that could be asked, 1 when no calculator runs or a call failed.

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

HWND calculator = nullptr;
// What the hook saw since the last key, in order.
std::vector<std::string> heard;

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

std::string Shortcut(IAccessible* client, LONG id) {
    BSTR text = nullptr;
    client->get_accKeyboardShortcut(Child(id), &text);
    return Utf8(text);
}

std::string DefaultAction(IAccessible* client, LONG id) {
    BSTR text = nullptr;
    client->get_accDefaultAction(Child(id), &text);
    return Utf8(text);
}

LONG Focused(IAccessible* client) {
    VARIANT focus;
    VariantInit(&focus);
    client->get_accFocus(&focus);
    return focus.vt == VT_I4 ? focus.lVal : -1L;
}

void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                    DWORD) {
    if (window != calculator || object != OBJID_CLIENT) {
        return;
    }
    const char* kind = event == EVENT_OBJECT_NAMECHANGE    ? "name"
                       : event == EVENT_OBJECT_FOCUS       ? "focus"
                       : event == EVENT_OBJECT_VALUECHANGE ? "value"
                                                           : "other";
    heard.push_back(std::string(kind) + ":" + std::to_string(child));
}

// Pumps messages, which brings the out-of-context events, until some came and then none for a
// while, or the time is up.
void WaitForEventsToSettle(DWORD quietMilliseconds, DWORD milliseconds) {
    const DWORD start = GetTickCount();
    std::size_t count = 0;
    DWORD lastChange = start;
    while (GetTickCount() - start < milliseconds) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        if (heard.size() != count) {
            count = heard.size();
            lastChange = GetTickCount();
        } else if (count > 0 && GetTickCount() - lastChange >= quietMilliseconds) {
            return;
        }
        Sleep(10);
    }
}

bool SystemHasNotification() {
    HMODULE automation = LoadLibraryW(L"uiautomationcore.dll");
    const bool present =
        automation != nullptr && GetProcAddress(automation, "UiaRaiseNotificationEvent") != nullptr;
    if (automation != nullptr) {
        FreeLibrary(automation);
    }
    return present;
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
    std::vector<std::string> names(static_cast<std::size_t>(count) + 1);
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
        names[static_cast<std::size_t>(id)] = Name(client, id);
        const std::string said = Utf8(description);
        std::printf("%ld|%ld|%s|%s|%s|%s|%s\n", id, role.lVal,
                    names[static_cast<std::size_t>(id)].c_str(), said.c_str(),
                    inside ? "inside" : "outside", Shortcut(client, id).c_str(),
                    DefaultAction(client, id).c_str());
    }
    std::printf("focus|%ld\n", Focused(client));
    std::printf("notification|%s\n", SystemHasNotification() ? "present" : "absent");

    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr,
                                         Heard, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (hook == nullptr) {
        std::puts("cannot listen");
        return 1;
    }
    for (const char* key :
         {"Sieben", "Plus", "Acht", "Gleich", "Zwei", "Mal", "Eins", "Gleich", "Gleich"}) {
        LONG id = 0;
        for (LONG candidate = 1; candidate <= count; ++candidate) {
            if (names[static_cast<std::size_t>(candidate)] == key) {
                id = candidate;
            }
        }
        heard.clear();
        if (id == 0 || FAILED(client->accDoDefaultAction(Child(id)))) {
            std::printf("cannot press %s\n", key);
            return 1;
        }
        WaitForEventsToSettle(300, 5000);
        std::string events;
        for (const std::string& event : heard) {
            events += (events.empty() ? "" : ",") + event;
        }
        const LONG focus = Focused(client);
        std::printf("key|%s|%s|%s\n", key, focus > 0 ? Name(client, focus).c_str() : "-",
                    events.c_str());
    }
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
