// session-end-client: does to a running calculator what the system does at logoff or shutdown,
// for the end-to-end tests under Wine, where no session ends.
//
//   session-end-client
//
// Asks each of the calculator's top-level windows whether the session may end, then tells each
// that it ends, as the system does, and writes one line per window: its class, the answer to the
// question (1 for yes) and how many milliseconds the second message took to return. After that
// message the system would end the process. Exits 0 once told, 1 when no calculator runs.

#include <windows.h>

#include <cstdio>

namespace {

constexpr const wchar_t* WindowClasses[] = {L"RechnerApplication", L"RechnerForm"};
// The user logs off, as the flag ENDSESSION_LOGOFF says, in the message's signed parameter.
const LPARAM LogOff = static_cast<LPARAM>(static_cast<LONG>(ENDSESSION_LOGOFF));

}  // namespace

int main() {
    HWND windows[2] = {};
    LRESULT answers[2] = {};
    for (int index = 0; index < 2; ++index) {
        windows[index] = FindWindowW(WindowClasses[index], nullptr);
    }
    if (windows[0] == nullptr && windows[1] == nullptr) {
        return 1;
    }
    // Every window is asked before any is told, as the system does.
    for (int index = 0; index < 2; ++index) {
        if (windows[index] != nullptr) {
            answers[index] = SendMessageW(windows[index], WM_QUERYENDSESSION, 0, LogOff);
        }
    }
    for (int index = 0; index < 2; ++index) {
        if (windows[index] == nullptr) {
            continue;
        }
        const ULONGLONG start = GetTickCount64();
        SendMessageW(windows[index], WM_ENDSESSION, TRUE, LogOff);
        std::printf("%ls %d %llu\n", WindowClasses[index], answers[index] != 0 ? 1 : 0,
                    GetTickCount64() - start);
    }
    return 0;
}
