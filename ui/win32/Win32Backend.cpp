// The Win32 backend; see Win32Backend.h.
#include "Win32Backend.h"

#include <windowsx.h>

#include <cstring>
#include <utility>

#include "ClipboardText.h"
#include "Form.h"
#include "WideText.h"

namespace {

constexpr wchar_t OwnerClass[] = L"RechnerApplication";
constexpr wchar_t FormClass[] = L"RechnerForm";
// The program icon in the resource script.
constexpr int ProgramIconId = 1;
// Posted to the window itself, so the clipboard is read outside the key press that asked.
constexpr UINT PasteMessage = WM_APP + 1;
// Posted when something other than the form moved the window away from its placement.
constexpr UINT RestorePlacementMessage = WM_APP + 2;

struct ButtonMessage {
    UINT Message;
    MouseButton Button;
    bool Down;
};

constexpr ButtonMessage ButtonMessages[] = {
    {WM_LBUTTONDOWN, MouseButton::Left, true},   {WM_LBUTTONUP, MouseButton::Left, false},
    {WM_RBUTTONDOWN, MouseButton::Right, true},  {WM_RBUTTONUP, MouseButton::Right, false},
    {WM_MBUTTONDOWN, MouseButton::Middle, true}, {WM_MBUTTONUP, MouseButton::Middle, false},
};

UINT_PTR TimerId(FormTimer timer) {
    return static_cast<UINT_PTR>(timer) + 1;
}

COLORREF ColourReference(Colour colour) {
    return RGB(colour.Red, colour.Green, colour.Blue);
}

KeyModifiers HeldModifiers() {
    return {.Shift = GetKeyState(VK_SHIFT) < 0,
            .Control = GetKeyState(VK_CONTROL) < 0,
            .Alt = GetKeyState(VK_MENU) < 0};
}

void RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, HICON icon) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

// The backend a window procedure belongs to, stored at creation.
Win32Backend* BackendOf(HWND window, UINT message, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    return reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT bounds, LPARAM monitors) {
    // Nothing may unwind into user32: a list that cannot grow ends the enumeration.
    try {
        reinterpret_cast<std::vector<Rect>*>(monitors)->push_back({bounds->left, bounds->top,
                                                                   bounds->right - bounds->left,
                                                                   bounds->bottom - bounds->top});
        return TRUE;
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

Win32Backend::Win32Backend(HINSTANCE instance)
    : instance_(instance),
      icon_(LoadIconW(instance, MAKEINTRESOURCEW(ProgramIconId))),
      cursor_(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW))) {
    RegisterWindowClass(instance, OwnerClass, OwnerProcedure, icon_);
    RegisterWindowClass(instance, FormClass, FormProcedure, icon_);
    // A real top-level window, shown at no size: it carries the taskbar entry and receives the
    // broadcasts a message-only window would miss.
    const int centreX = GetSystemMetrics(SM_CXSCREEN) / 2;
    const int centreY = GetSystemMetrics(SM_CYSCREEN) / 2;
    owner_ = CreateWindowExW(0, OwnerClass, L"Rechner",
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, centreX, centreY,
                             0, 0, nullptr, nullptr, instance, this);
    window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_LAYERED, FormClass, L"Rechner", WS_POPUP, 0, 0,
                              1, 1, owner_, nullptr, instance, this);
    if (owner_ == nullptr || window_ == nullptr) {
        // No destructor runs for a backend that fails here, and a window left behind would hand
        // its procedure a pointer to it while the start-up's message box runs.
        DestroyWindows();
        throw std::runtime_error("Das Fenster konnte nicht erzeugt werden");
    }
    hint_ = std::make_unique<HintWindow>(instance);
    ApplyLayering();
}

Win32Backend::~Win32Backend() {
    AttachForm(nullptr);
    hint_.reset();
    DestroyWindows();
}

void Win32Backend::DestroyWindows() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
    if (owner_ != nullptr) {
        DestroyWindow(owner_);
    }
}

void Win32Backend::Run() {
    if (form_ == nullptr) {
        return;
    }
    Form& form = *form_;
    const std::wstring title = WideFromUtf8(form.Title());
    SetWindowTextW(owner_, title.c_str());
    SetWindowTextW(window_, title.c_str());
    // The placement runs before the window shows, so it never appears at the default place.
    form.Show();
    placement_ = WindowPosition();
    // The calculator first, so it shows as soon as it can; the taskbar entry follows without
    // taking the activation from it.
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    ShowWindow(owner_, SW_SHOWNA);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32Backend::AttachForm(Form* form) {
    form_ = form;
}

int Win32Backend::MeasureZeroHeight() {
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) {
        return Form::DesignTextHeight;
    }
    LOGFONTW font{};
    font.lfHeight = -MulDiv(FormFontPoints, GetDeviceCaps(screen, LOGPIXELSY), 72);
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, FormFontFace, LF_FACESIZE);
    HFONT created = CreateFontIndirectW(&font);
    const HGDIOBJ previous = SelectObject(screen, created);
    TEXTMETRICW metrics{};
    const bool measured = GetTextMetricsW(screen, &metrics) != 0;
    SelectObject(screen, previous);
    DeleteObject(created);
    ReleaseDC(nullptr, screen);
    return measured ? static_cast<int>(metrics.tmHeight) : Form::DesignTextHeight;
}

ScreenLayout Win32Backend::Screens() {
    ScreenLayout layout;
    layout.Primary = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    layout.Desktop = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                      GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&layout.Monitors));
    if (layout.Monitors.empty()) {
        layout.Monitors.push_back(layout.Primary);
    }
    return layout;
}

void Win32Backend::SetClientSize(int width, int height) {
    // A pop-up without a border: the window is its client area.
    SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Backend::SetColourKey(Colour key, const Picture&) {
    // The layered window keys the colour itself; the picture is not needed to shape it.
    colourKey_ = key;
    ApplyLayering();
}

void Win32Backend::SetOpacity(int alpha) {
    opacity_ = alpha;
    ApplyLayering();
}

void Win32Backend::ApplyLayering() {
    // Key and alpha are one setting of a layered window. Where layering is refused, the window
    // stays opaque, which is a look and no fault worth a message.
    DWORD flags = LWA_ALPHA;
    COLORREF key = 0;
    if (colourKey_) {
        flags |= LWA_COLORKEY;
        key = ColourReference(*colourKey_);
    }
    SetLayeredWindowAttributes(window_, key, static_cast<BYTE>(opacity_), flags);
}

Point Win32Backend::WindowPosition() {
    RECT bounds{};
    GetWindowRect(window_, &bounds);
    return {bounds.left, bounds.top};
}

void Win32Backend::MoveWindow(Point topLeft) {
    SetWindowPos(window_, nullptr, topLeft.X, topLeft.Y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Backend::Invalidate(const Rect& area) {
    const RECT bounds{area.Left, area.Top, area.Right(), area.Bottom()};
    InvalidateRect(window_, &bounds, FALSE);
}

void Win32Backend::CloseWindow() {
    // The windows go with the backend, after the loop has ended and no procedure of theirs runs.
    hint_->Hide();
    ShowWindow(window_, SW_HIDE);
    ShowWindow(owner_, SW_HIDE);
    PostQuitMessage(0);
}

void Win32Backend::SetCursor(PointerShape cursor) {
    const LPCWSTR shapes[] = {IDC_ARROW, IDC_HAND, IDC_SIZEALL};
    cursor_ = LoadCursorW(nullptr, shapes[static_cast<int>(cursor)]);
    POINT pointer;
    if (GetCursorPos(&pointer) && WindowFromPoint(pointer) == window_) {
        ::SetCursor(cursor_);
    }
}

void Win32Backend::SetCapture(bool captured) {
    if (captured) {
        ::SetCapture(window_);
    } else if (GetCapture() == window_) {
        // The form ended the press itself; the capture change this causes is no loss.
        releasingCapture_ = true;
        ReleaseCapture();
        releasingCapture_ = false;
    }
}

void Win32Backend::StartTimer(FormTimer timer, int intervalMilliseconds) {
    SetTimer(window_, TimerId(timer), static_cast<UINT>(intervalMilliseconds), nullptr);
}

void Win32Backend::StopTimer(FormTimer timer) {
    KillTimer(window_, TimerId(timer));
}

void Win32Backend::ShowHint(const std::string& text, Point screenPointer) {
    hint_->ShowAt(text, screenPointer);
}

void Win32Backend::HideHint() {
    hint_->Hide();
}

int Win32Backend::ShowPopupMenu(const std::vector<std::string>& items, Point screenPointer) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return -1;
    }
    for (std::size_t index = 0; index < items.size(); ++index) {
        const std::wstring caption = WideFromUtf8(items[index]);
        AppendMenuW(menu, MF_STRING, index + 1, caption.c_str());
    }
    // Without the foreground the menu would not close on a click elsewhere, and without the
    // message after it a second menu would close at once.
    SetForegroundWindow(window_);
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                       screenPointer.X, screenPointer.Y, 0, window_, nullptr));
    PostMessageW(window_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return chosen - 1;
}

void ShowStopBox(HWND owner, const std::string& text, const std::string& caption) {
    const std::wstring wideText = WideFromUtf8(text);
    const std::wstring wideCaption = WideFromUtf8(caption);
    MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), MB_OK | MB_ICONSTOP);
}

void Win32Backend::ShowErrorMessage(const std::string& text, const std::string& caption) {
    ShowStopBox(window_, text, caption);
}

void Win32Backend::CopyToClipboard(const std::string& text) {
    const std::wstring wide = WideFromUtf8(text);
    const std::size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) {
        return;
    }
    if (void* target = GlobalLock(memory); target != nullptr) {
        std::memcpy(target, wide.c_str(), bytes);
        GlobalUnlock(memory);
        if (OpenClipboard(window_)) {
            EmptyClipboard();
            // The clipboard owns the memory once it took it.
            if (SetClipboardData(CF_UNICODETEXT, memory) != nullptr) {
                memory = nullptr;
            }
            CloseClipboard();
        }
    }
    if (memory != nullptr) {
        GlobalFree(memory);
    }
}

void Win32Backend::RequestClipboardText() {
    PostMessageW(window_, PasteMessage, 0, 0);
}

void Win32Backend::PasteFromClipboard() {
    if (form_ == nullptr || !OpenClipboard(window_)) {
        return;
    }
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT); data != nullptr) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data)); units != nullptr) {
            // Up to the terminating zero and no further than a paste reads, never beyond the
            // block.
            const std::size_t capacity = GlobalSize(data) / sizeof(wchar_t);
            text.assign(units, ClipboardTextLength(units, capacity));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    form_->ClipboardTextArrived(Utf8FromWide(text));
}

LRESULT CALLBACK Win32Backend::OwnerProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
    try {
        Win32Backend* self = BackendOf(window, message, lParam);
        if (self != nullptr && self->form_ != nullptr) {
            Form& form = *self->form_;
            switch (message) {
                case WM_SETTINGCHANGE:
                    if (lParam != 0 &&
                        lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
                        form.RegionalSettingsChanged();
                    }
                    return 0;
                case WM_CLOSE:
                    // Closing the taskbar entry closes the calculator.
                    form.Close();
                    return 0;
                default:
                    break;
            }
        }
    } catch (...) {
        // Nothing unwinds into user32.
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Backend::FormProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    LRESULT result = 0;
    try {
        Win32Backend* self = BackendOf(window, message, lParam);
        if (self != nullptr && self->form_ != nullptr) {
            bool handled = false;
            self->form_->RunGuarded(
                [&] { handled = self->FormMessage(message, wParam, lParam, result); });
            if (handled) {
                return result;
            }
        }
    } catch (...) {
        // Only the exception box itself failing ends up here; the message is dropped.
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Win32Backend::FormMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    Form& form = *form_;
    if (MouseMessage(message, wParam, lParam)) {
        return true;
    }
    switch (message) {
        case WM_PAINT:
            Paint();
            return true;
        case WM_ERASEBKGND:
            result = 1;  // the paint covers everything, from a buffer
            return true;
        case WM_SETCURSOR:
            if (LOWORD(lParam) != HTCLIENT) {
                return false;
            }
            ::SetCursor(cursor_);
            result = TRUE;
            return true;
        case WM_CAPTURECHANGED:
            if (!releasingCapture_ && reinterpret_cast<HWND>(lParam) != window_) {
                form.CaptureLost();
            }
            return true;
        case WM_CANCELMODE:
            // The system cancels a press, e.g. for a dialog coming up: the capture is taken.
            if (GetCapture() == window_) {
                ReleaseCapture();
            }
            return true;
        case WM_CHAR:
            CharacterMessage(static_cast<wchar_t>(wParam));
            return true;
        case WM_SYSCHAR:
            // Alt with a key types nothing; the default would only beep for a missing menu.
            return true;
        case WM_KEYDOWN:
            if (wParam >= 'A' && wParam <= 'Z') {
                const KeyModifiers modifiers = HeldModifiers();
                if (modifiers.Control) {
                    form.KeyDown(static_cast<char32_t>(wParam - 'A' + 'a'), modifiers);
                }
            }
            return true;
        case WM_ACTIVATEAPP:
            if (wParam != 0) {
                form.Activate();
            } else {
                form.Deactivate();
            }
            return true;
        case WM_TIMER:
            for (const FormTimer timer :
                 {FormTimer::Close, FormTimer::HintShow, FormTimer::HintHide}) {
                if (wParam == TimerId(timer)) {
                    form.Timer(timer);
                }
            }
            return true;
        case WM_CLOSE:
            // Alt+F4 and the system's close: the form decides when the window goes.
            form.Close();
            return true;
        case WM_WINDOWPOSCHANGED:
            // An X window manager may pull a new window wholly onto the screen as it maps it.
            // The placement, partly off the screen included, is what counts, until the user
            // takes the window; Windows itself never moves it.
            if (placement_ && WindowPosition() != *placement_) {
                PostMessageW(window_, RestorePlacementMessage, 0, 0);
            }
            return false;
        case RestorePlacementMessage:
            if (placement_) {
                MoveWindow(*std::exchange(placement_, std::nullopt));
            }
            return true;
        case PasteMessage:
            PasteFromClipboard();
            return true;
        default:
            return false;
    }
}

bool Win32Backend::MouseMessage(UINT message, WPARAM, LPARAM lParam) {
    // Signed, so that a captured pointer left or above the window gives negative coordinates.
    const Point client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    Form& form = *form_;
    for (const ButtonMessage& button : ButtonMessages) {
        if (button.Message != message) {
            continue;
        }
        if (button.Down) {
            placement_.reset();  // the user's drag is not undone
            form.MouseDown(button.Button, client);
        } else {
            form.MouseUp(button.Button, client);
        }
        return true;
    }
    switch (message) {
        case WM_MOUSEMOVE:
            if (!trackingLeave_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
                trackingLeave_ = TrackMouseEvent(&track) != 0;
            }
            form.MouseMove(client);
            return true;
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            form.MouseLeave();
            return true;
        default:
            return false;
    }
}

void Win32Backend::CharacterMessage(wchar_t unit) {
    const std::optional<char32_t> typed = typed_.Add(unit);
    const KeyModifiers held = HeldModifiers();
    if (typed && IsTypedCharacter(held.Control, held.Alt)) {
        form_->CharTyped(*typed);
    }
}

void Win32Backend::Paint() {
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    // Drawn into a buffer and copied at once, so a changing label never flickers.
    HDC buffer = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    if (buffer != nullptr && bitmap != nullptr) {
        const HGDIOBJ previous = SelectObject(buffer, bitmap);
        FillRect(buffer, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        GdiPainter painter(buffer, fonts_);
        form_->Paint(painter);
        BitBlt(screen, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
        SelectObject(buffer, previous);
    }
    if (bitmap != nullptr) {
        DeleteObject(bitmap);
    }
    if (buffer != nullptr) {
        DeleteDC(buffer);
    }
    EndPaint(window_, &paint);
}
