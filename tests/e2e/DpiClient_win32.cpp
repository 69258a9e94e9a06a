// dpi-client: tells a running calculator what Windows tells a per-monitor-aware window whose
// monitor changes scale, for the end-to-end tests under Wine, which never sends these messages.
//
//   dpi-client size DPI                      asks WM_GETDPISCALEDSIZE; prints "width height"
//   dpi-client change DPI LEFT TOP W H       sends WM_DPICHANGED with that suggested rectangle
//   dpi-client display                       sends WM_DISPLAYCHANGE, as after a monitor change
//   dpi-client move LEFT TOP                 moves the window there, as a user could have
//
// The messages carry pointers, which the system hands over only to the process they point
// into: the SIZE and RECT are written into the calculator's memory first.
//
// Exits 0 once the calculator answered, 1 when no calculator runs or its memory is out of
// reach, 2 on a wrong argument.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

// Memory in another process, given back when done.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, SIZE_T size)
        : process_(process),
          address_(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBlock() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    void* Address() const { return address_; }

private:
    HANDLE process_;
    void* address_;
};

int Number(const char* text) {
    return std::atoi(text);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        return 2;
    }
    const std::string_view action = argv[1];
    HWND window = FindWindowW(L"RechnerForm", nullptr);
    if (window == nullptr) {
        return 1;
    }
    if (action == "display" && argc == 2) {
        SendMessageW(window, WM_DISPLAYCHANGE, 32,
                     MAKELPARAM(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
        return 0;
    }
    if (action == "move" && argc == 4) {
        SetWindowPos(window, nullptr, Number(argv[2]), Number(argv[3]), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr) {
        return 1;
    }
    int result = 2;
    if (action == "size" && argc == 3) {
        const int dpi = Number(argv[2]);
        RemoteBlock block(process, sizeof(SIZE));
        SIZE size{0, 0};
        SIZE_T moved = 0;
        if (block.Address() == nullptr ||
            !WriteProcessMemory(process, block.Address(), &size, sizeof size, &moved)) {
            result = 1;
        } else {
            const LRESULT answered =
                SendMessageW(window, WM_GETDPISCALEDSIZE, static_cast<WPARAM>(dpi),
                             reinterpret_cast<LPARAM>(block.Address()));
            ReadProcessMemory(process, block.Address(), &size, sizeof size, &moved);
            std::printf("%d %ld %ld\n", static_cast<int>(answered), size.cx, size.cy);
            result = 0;
        }
    } else if (action == "change" && argc == 7) {
        const int dpi = Number(argv[2]);
        const int left = Number(argv[3]);
        const int top = Number(argv[4]);
        const RECT suggested{left, top, left + Number(argv[5]), top + Number(argv[6])};
        RemoteBlock block(process, sizeof(RECT));
        SIZE_T moved = 0;
        if (block.Address() == nullptr ||
            !WriteProcessMemory(process, block.Address(), &suggested, sizeof suggested, &moved)) {
            result = 1;
        } else {
            SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(block.Address()));
            result = 0;
        }
    }
    CloseHandle(process);
    return result;
}
