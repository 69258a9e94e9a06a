// session-end-client: does to a running calculator what the system does at logoff or shutdown,
// for the end-to-end tests under Wine, where no session ends.
//
//   session-end-client [cancelled]
//
// Asks each of the calculator's top-level windows whether the session may end, then tells each
// that it ends, as the system does; after that message the system would end the process. Writes
// one line per window told: its class, the answer to the question (1 for yes), the milliseconds
// until the calculator answered that the session ends, and those until its window was hidden
// (-1 when it still showed at the answer). Exits 0 once told, 1 when no calculator runs.
//
// With "cancelled" each window is told instead that the session goes on, as when another
// program refused to end it; the line per window then gives its class, the answer and whether
// the calculator's window showed after the message ("shown" or "hidden").

#include <windows.h>

#include <cstdio>
#include <string_view>

namespace {

constexpr const wchar_t* WindowClasses[] = {L"RechnerApplication", L"RechnerForm"};
// The user logs off, as the flag ENDSESSION_LOGOFF says, in the message's signed parameter.
const LPARAM LogOff = static_cast<LPARAM>(static_cast<LONG>(ENDSESSION_LOGOFF));

void CALLBACK Answered(HWND, UINT, ULONG_PTR answered, LRESULT) {
    *reinterpret_cast<bool*>(answered) = true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool cancelled = argc == 2 && std::string_view(argv[1]) == "cancelled";
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
    const HWND calculator = windows[1];
    for (int index = 0; index < 2; ++index) {
        if (windows[index] == nullptr) {
            continue;
        }
        if (cancelled) {
            SendMessageW(windows[index], WM_ENDSESSION, FALSE, LogOff);
            const bool shown = calculator != nullptr && IsWindowVisible(calculator);
            std::printf("%ls %d %s\n", WindowClasses[index], answers[index] != 0 ? 1 : 0,
                        shown ? "shown" : "hidden");
            continue;
        }
        // Told without waiting, so that the window can be watched while the calculator works.
        bool answered = false;
        const ULONGLONG start = GetTickCount64();
        long long hidden = -1;
        if (!SendMessageCallbackW(windows[index], WM_ENDSESSION, TRUE, LogOff, Answered,
                                  reinterpret_cast<ULONG_PTR>(&answered))) {
            continue;
        }
        // The answer is taken only with the messages, so the look just before them sees a window
        // hidden before the answer came, however long this thread did not run. (A window hidden
        // just after answering may then look hidden first too; the tests also have the host let
        // go of the file only once the window is gone, so a write that waited for the answer is
        // lost and shows.)
        const auto lookAtTheWindow = [&] {
            if (hidden < 0 && (calculator == nullptr || !IsWindowVisible(calculator))) {
                hidden = static_cast<long long>(GetTickCount64() - start);
            }
        };
        while (!answered) {
            lookAtTheWindow();
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            if (!answered) {
                lookAtTheWindow();
                Sleep(1);
            }
        }
        std::printf("%ls %d %llu %lld\n", WindowClasses[index], answers[index] != 0 ? 1 : 0,
                    GetTickCount64() - start, hidden);
    }
    return 0;
}
