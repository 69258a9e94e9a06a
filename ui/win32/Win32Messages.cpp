// The window procedures of the calculator and its owner: each message unpacked and handed to one
// routine, all through the form's guard; see Win32Backend.h.
#include "Win32Backend.h"

#include <windowsx.h>

#include "ClipboardText.h"
#include "Form.h"
#include "FormAccessible.h"
#include "MessageRules.h"
#include "WideText.h"
#include "WindowClass.h"
#include "WindowMessages.h"

namespace {

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

KeyModifiers HeldModifiers() {
    return {.Shift = GetKeyState(VK_SHIFT) < 0,
            .Control = GetKeyState(VK_CONTROL) < 0,
            .Alt = GetKeyState(VK_MENU) < 0};
}

}  // namespace

std::optional<LRESULT> Win32Backend::OnGetObject(WPARAM flags, LPARAM objectId) {
    if (static_cast<LONG>(objectId) != OBJID_CLIENT) {
        return std::nullopt;
    }
    if (accessible_ == nullptr) {
        ole_ = LoadOleLibraries();
        if (ole_ == nullptr) {
            return std::nullopt;
        }
        accessible_ = new FormAccessible(window_, *form_, *ole_, AccessiblePressMessage);
    }
    return ole_->ResultFromObject(IID_IAccessible, flags, static_cast<IAccessible*>(accessible_));
}

void Win32Backend::OnPaste() {
    if (!OpenClipboard(window_)) {
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
    return Dispatch(window, message, wParam, lParam, &Win32Backend::OwnerMessage);
}

LRESULT CALLBACK Win32Backend::FormProcedure(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
    return Dispatch(window, message, wParam, lParam, &Win32Backend::FormMessage);
}

LRESULT Win32Backend::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                               MessageHandler handler) {
    auto* self = WindowOwner<Win32Backend>(window, message, lParam);
    if (self != nullptr && self->form_ != nullptr) {
        std::optional<LRESULT> result;
        self->form_->RunGuarded([&] { result = (self->*handler)(message, wParam, lParam); });
        if (result) {
            return *result;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::optional<LRESULT> Win32Backend::OwnerMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ACTIVATE:
            // The taskbar activates the entry's window, which shows nothing and takes no keys:
            // restoring, minimising and bringing it to the front all end here.
            if (LOWORD(wParam) != WA_INACTIVE) {
                PostMessageW(owner_, HandActivationMessage, 0, 0);
            }
            return std::nullopt;
        case HandActivationMessage:
            OnOwnerActivated();
            return 0;
        case WM_SETTINGCHANGE:
            if (lParam != 0 && lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
                form_->RegionalSettingsChanged();
            }
            if (wParam == SPI_SETHIGHCONTRAST) {
                form_->ContrastChanged();
            }
            return 0;
        case WM_SYSCOLORCHANGE:
            // A scheme of other colours, in high contrast or not; the form redraws only on a
            // change it shows.
            form_->ContrastChanged();
            return 0;
        case WM_CLOSE:
            // Closing the taskbar entry closes the calculator.
            form_->Close();
            return 0;
        case WM_QUERYENDSESSION:
            // Nothing to ask the user: the position is stored as the session ends.
            return TRUE;
        case WM_ENDSESSION:
            OnEndSession(wParam != FALSE);
            return 0;
        default:
            return std::nullopt;
    }
}

std::optional<LRESULT> Win32Backend::FormMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    // Signed, so that a captured pointer left or above the window gives negative coordinates.
    const Point client{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    for (const ButtonMessage& button : ButtonMessages) {
        if (button.Message == message) {
            OnButton(button.Button, button.Down, client);
            return 0;
        }
    }
    switch (message) {
        case WM_MOUSEMOVE:
            OnMouseMove(client);
            return 0;
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            form_->MouseLeave();
            return 0;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything, from a buffer
        case WM_SETCURSOR:
            return OnSetCursor(LOWORD(lParam));
        case WM_CAPTURECHANGED:
            OnCaptureChanged(reinterpret_cast<HWND>(lParam));
            return 0;
        case WM_CANCELMODE:
            OnCancelMode();
            return 0;
        case WM_CHAR:
            OnChar(static_cast<wchar_t>(wParam));
            return 0;
        case WM_SYSCHAR:
            // Alt with a key types nothing; the default would only beep for a missing menu.
            return 0;
        case WM_KEYDOWN:
            OnKeyDown(wParam);
            return 0;
        case WM_CONTEXTMENU:
            // The system's default turns Shift+F10 and the menu key into this, at no point (-1);
            // a right click opens the menu at its release already.
            if (lParam == -1) {
                form_->MenuKey();
            }
            return 0;
        case WM_ACTIVATEAPP:
            OnActivateApp(wParam != 0);
            return 0;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        case WM_CLOSE:
            // Alt+F4 and the system's close: the form decides when the window goes.
            form_->Close();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            OnEndSession(wParam != FALSE);
            return 0;
        case WM_WINDOWPOSCHANGED:
            OnWindowPosChanged(*reinterpret_cast<const WINDOWPOS*>(lParam));
            return std::nullopt;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_GETDPISCALEDSIZE:
            OnGetDpiScaledSize(static_cast<int>(wParam), *reinterpret_cast<SIZE*>(lParam));
            return TRUE;
        case WM_DISPLAYCHANGE:
            form_->ScreensChanged();
            return 0;
        case WindowMovedMessage:
            form_->WindowMoved();
            return 0;
        case PasteMessage:
            OnPaste();
            return 0;
        case WM_GETOBJECT:
            return OnGetObject(wParam, lParam);
        case AccessiblePressMessage:
            form_->PressAccessible(wParam);
            return 0;
        default:
            return std::nullopt;
    }
}

void Win32Backend::OnOwnerActivated() {
    // Only while the owner still has the activation: a later click elsewhere stands. A message
    // box the calculator has open takes it instead, as the calculator waits on it.
    if (GetActiveWindow() == owner_ && IsWindowVisible(window_)) {
        HWND target = GetLastActivePopup(window_);
        SetActiveWindow(target);
        SetFocus(target);
    }
}

void Win32Backend::OnButton(MouseButton button, bool down, Point client) {
    if (down) {
        form_->MouseDown(button, client);
    } else {
        form_->MouseUp(button, client);
    }
}

void Win32Backend::OnMouseMove(Point client) {
    if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_, 0};
        trackingLeave_ = TrackMouseEvent(&track) != 0;
    }
    form_->MouseMove(client);
}

std::optional<LRESULT> Win32Backend::OnSetCursor(WORD hitTest) {
    if (hitTest != HTCLIENT) {
        return std::nullopt;
    }
    ::SetCursor(cursor_);
    return TRUE;
}

void Win32Backend::OnCaptureChanged(HWND newOwner) {
    if (IsCaptureLoss(releasingCapture_, newOwner == window_)) {
        form_->CaptureLost();
    }
}

void Win32Backend::OnCancelMode() {
    // The system cancels a press, e.g. for a dialog coming up: the capture is taken.
    if (GetCapture() == window_) {
        ReleaseCapture();
    }
}

void Win32Backend::OnKeyDown(WPARAM virtualKey) {
    const KeyModifiers modifiers = HeldModifiers();
    if (const auto letter = ShortcutLetter(virtualKey, modifiers.Control)) {
        form_->KeyDown(*letter, modifiers);
    }
}

void Win32Backend::OnActivateApp(bool active) {
    if (active) {
        form_->Activate();
    } else {
        form_->Deactivate();
    }
}

void Win32Backend::OnTimer(WPARAM id) {
    if (const std::optional<FormTimer> timer = FormTimerOf(id)) {
        form_->Timer(*timer);
    }
}

void Win32Backend::OnWindowPosChanged(const WINDOWPOS& position) {
    // An X window manager may pull a new window wholly onto the screen as it maps it; the form
    // decides whether that stands. Told after the move is over, so that undoing it is no move
    // inside a move.
    if ((position.flags & SWP_NOMOVE) == 0) {
        PostMessageW(window_, WindowMovedMessage, 0, 0);
    }
}

void Win32Backend::OnChar(wchar_t unit) {
    const std::optional<char32_t> typed = typed_.Add(unit);
    const KeyModifiers held = HeldModifiers();
    if (typed && IsTypedCharacter(held.Control, held.Alt)) {
        form_->CharTyped(*typed);
    }
}

void Win32Backend::OnPaint() {
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
