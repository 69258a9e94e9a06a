// taskbar-client: does to a running calculator what a click on its taskbar entry does, for the
// end-to-end tests under Wine, where no taskbar runs.
//
//   taskbar-client minimize   the entry of the active window clicked: minimised
//   taskbar-client restore    the entry of a minimised window clicked: restored and in front
//   taskbar-client activate   the entry clicked while another window of the program is active
//   taskbar-client close      "Close window" chosen from the entry's menu
//   taskbar-client focused    asks only whether typed keys reach the calculator: whether it is
//                             the foreground window and has its thread's keyboard focus
//
// Exits 0 once the calculator's taskbar window was told (or the calculator has the focus), 1
// when no calculator runs, 2 on a wrong argument, 3 when the calculator lacks the focus.

#include <windows.h>

#include <string_view>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const std::string_view action = argv[1];
    HWND entry = FindWindowW(L"RechnerApplication", nullptr);
    if (entry == nullptr) {
        return 1;
    }
    if (action == "minimize") {
        SendMessageW(entry, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (action == "restore") {
        SendMessageW(entry, WM_SYSCOMMAND, SC_RESTORE, 0);
        SetForegroundWindow(entry);
    } else if (action == "activate") {
        SetForegroundWindow(entry);
    } else if (action == "close") {
        SendMessageW(entry, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (action == "focused") {
        // The system hands a key to the focus of the foreground window's thread.
        HWND calculator = FindWindowW(L"RechnerForm", nullptr);
        GUITHREADINFO thread{.cbSize = sizeof(GUITHREADINFO)};
        const bool focused =
            calculator != nullptr && GetForegroundWindow() == calculator &&
            GetGUIThreadInfo(GetWindowThreadProcessId(calculator, nullptr), &thread) &&
            thread.hwndFocus == calculator;
        return focused ? 0 : 3;
    } else {
        return 2;
    }
    return 0;
}
