// The Win32 backend: its windows, and what the form asks of them; see Win32Backend.h.
#include "Win32Backend.h"

#include <cstdint>
#include <cstring>

#include "AutomationNotification.h"
#include "Form.h"
#include "FormAccessible.h"
#include "MessageRules.h"
#include "MonitorScale.h"
#include "SystemColours.h"
#include "WideText.h"
#include "WindowClass.h"
#include "WindowMessages.h"

namespace {

constexpr wchar_t OwnerClass[] = L"RechnerApplication";
constexpr wchar_t FormClass[] = L"RechnerForm";
// The program icon in the resource script.
constexpr int ProgramIconId = 1;

// Ends a message box of this thread as its OK button would. No exception leaves it, as none may
// leave a system callback.
BOOL CALLBACK EndMessageBox(HWND window, LPARAM) noexcept {
    // The system's dialog class, which message boxes have; a longer name does not fit.
    wchar_t className[8] = {};
    if (GetClassNameW(window, className, 8) > 0 && lstrcmpW(className, L"#32770") == 0) {
        EndDialog(window, IDOK);
    }
    return TRUE;
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
    const WindowClassLook look{.Icon = icon_,
                               .Background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH))};
    RegisterWindowClass(instance, OwnerClass, OwnerProcedure, look);
    RegisterWindowClass(instance, FormClass, FormProcedure, look);
    // First, since it may throw: a member made is a member destroyed, windows are not.
    hint_ = std::make_unique<HintWindow>(instance);
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

void Win32Backend::Run(const std::function<void()>& windowGone) {
    if (form_ == nullptr) {
        return;
    }
    Form& form = *form_;
    const std::wstring title = WideFromUtf8(form.Title());
    SetWindowTextW(owner_, title.c_str());
    SetWindowTextW(window_, title.c_str());
    // The placement runs before the window shows, so it never appears at the default place.
    form.Show();
    // The calculator first, so it shows as soon as it can; the taskbar entry follows without
    // taking the activation from it.
    ShowWindow(window_, SW_SHOW);
    UpdateWindow(window_);
    ShowWindow(owner_, SW_SHOWNA);
    windowGone_ = &windowGone;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    windowGone_ = nullptr;
    windowGone();
}

void Win32Backend::OnEndSession(bool ending) {
    // Another program refused to end the session: it goes on, and so does the calculator.
    if (!ending) {
        return;
    }
    // The system ends the process as soon as this returns, wherever it then stands: the window
    // goes and the pending write gets its grace first. A menu or box the form has open closes
    // the window only once its own loop has ended, which may be too late.
    form_->Close();
    HideWindows();
    if (windowGone_ != nullptr) {
        (*windowGone_)();
    }
}

void Win32Backend::AttachForm(Form* form) {
    if (accessible_ != nullptr) {
        // Readers that still hold the object get "disconnected" from now on.
        accessible_->Detach();
        ole_->DisconnectObject(static_cast<IAccessible*>(accessible_), 0);
        accessible_->Release();
        accessible_ = nullptr;
    }
    form_ = form;
}

ScaleFactor Win32Backend::FormScale() {
    // While a change of resolution is handled, the new one; the window may not report it yet.
    const int dotsPerInch = changingDpi_.value_or(WindowDotsPerInch(window_));
    return FormScaleAt(dotsPerInch);
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

void Win32Backend::RemoveColourKey() {
    colourKey_.reset();
    ApplyLayering();
}

std::optional<SystemColours> Win32Backend::HighContrastColours() {
    return SystemHighContrastColours();
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
    HideWindows();
    PostQuitMessage(0);
}

void Win32Backend::HideWindows() {
    hint_->Hide();
    ShowWindow(window_, SW_HIDE);
    ShowWindow(owner_, SW_HIDE);
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
    hint_->ShowAt(text, screenPointer, WindowDotsPerInch(window_));
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
        AppendMenuW(menu, MF_STRING, MenuCommand(index), caption.c_str());
    }
    // Without the foreground the menu would not close on a click elsewhere, and without the
    // message after it a second menu would close at once.
    SetForegroundWindow(window_);
    const BOOL command =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                       screenPointer.X, screenPointer.Y, 0, window_, nullptr);
    PostMessageW(window_, WM_NULL, 0, 0);
    DestroyMenu(menu);
    return MenuItemIndex(static_cast<std::uintptr_t>(command), items.size());
}

void ShowStopBox(HWND owner, const std::string& text, const std::string& caption) {
    const std::wstring wideText = WideFromUtf8(text);
    const std::wstring wideCaption = WideFromUtf8(caption);
    MessageBoxW(owner, wideText.c_str(), wideCaption.c_str(), MB_OK | MB_ICONSTOP);
}

void Win32Backend::ShowErrorMessage(const std::string& text, const std::string& caption) {
    ShowStopBox(window_, text, caption);
}

void Win32Backend::EndNestedLoops() {
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), EndMessageBox, 0);
}

void Win32Backend::AccessibleChanged(std::size_t element, AccessibleChange change) {
    // Nothing costs more than a check while no reader listens; WinEvents go to those hooked.
    const LONG child = FormAccessible::ChildId(element);
    switch (change) {
        case AccessibleChange::Name:
            NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window_, OBJID_CLIENT, child);
            break;
        case AccessibleChange::Focus:
            NotifyWinEvent(EVENT_OBJECT_FOCUS, window_, OBJID_CLIENT, child);
            break;
        case AccessibleChange::FocusLost:
            // The window that takes the activation tells its own focus.
            break;
        case AccessibleChange::Announce:
            // Made only once a reader asked for the window: until then nobody listens.
            if (accessible_ != nullptr) {
                RaiseDisplayNotification(*ole_, accessible_, child,
                                         form_->Accessible(element).Name);
            }
            break;
    }
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
