// The yardstick for the start-up benchmark under Wine: the least a Win32 program with the
// calculator's kind of window can do. One 126 x 224 topmost layered pop-up at the calculator's
// first-run place, keyed on white at the calculator's alpha, that paints one picture and one
// text and then waits. Built and run by startup_wine.py.

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

constexpr int Width = 126;
constexpr int Height = 224;
constexpr BYTE Alpha = 220;
// Rows of a 24-bit device-independent bitmap are padded to whole 32-bit words.
constexpr int RowBytes = (Width * 3 + 3) / 4 * 4;

// A picture as big as the skin, so the copy to the screen costs the same: a grey body with a
// green display, made in code, as the calculator's is decoded from its own data.
class Picture {
public:
    Picture() {
        for (int row = 0; row < Height; ++row) {
            for (int column = 0; column < Width; ++column) {
                const bool display = column >= 24 && column < 100 && row >= 40 && row < 76;
                const auto shade = static_cast<std::uint8_t>(60 + row / 4);
                // Blue, green, red, as a bitmap stores them.
                std::uint8_t* pixel =
                    &pixels_[static_cast<std::size_t>(row) * RowBytes + column * 3];
                pixel[0] = display ? 184 : shade;
                pixel[1] = display ? 208 : shade;
                pixel[2] = display ? 178 : shade;
            }
        }
    }

    void Draw(HDC target) const {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = Width;
        info.bmiHeader.biHeight = -Height;  // top row first
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        SetDIBitsToDevice(target, 0, 0, Width, Height, 0, 0, 0, Height, pixels_.data(), &info,
                          DIB_RGB_COLORS);
    }

private:
    std::array<std::uint8_t, static_cast<std::size_t>(RowBytes) * Height> pixels_{};
};

const Picture picture;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC target = BeginPaint(window, &paint);
            picture.Draw(target);
            SetBkMode(target, TRANSPARENT);
            SelectObject(target, GetStockObject(DEFAULT_GUI_FONT));
            RECT text{14, 59, 94, 76};
            DrawTextW(target, L"0", 1, &text, DT_RIGHT | DT_SINGLELINE | DT_VCENTER);
            EndPaint(window, &paint);
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.lpszClassName = L"Minimal";
    RegisterClassExW(&windowClass);
    HWND window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_LAYERED, L"Minimal", L"Minimal", WS_POPUP,
                                  GetSystemMetrics(SM_CXSCREEN) - Width, 100, Width, Height,
                                  nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    SetLayeredWindowAttributes(window, RGB(255, 255, 255), Alpha, LWA_COLORKEY | LWA_ALPHA);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
