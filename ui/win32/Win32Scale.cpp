// The Win32 backend's answers to a change of resolution under per-monitor awareness: the window
// moved to a monitor of another scale, or the monitor's scale changed.
#include "Form.h"
#include "MonitorScale.h"
#include "Win32Backend.h"

void Win32Backend::OnDpiChanged(int dotsPerInch, const RECT& suggested) {
    changingDpi_ = dotsPerInch;
    try {
        form_->Scale();
    } catch (...) {
        changingDpi_.reset();
        throw;
    }
    changingDpi_.reset();
    // The system chose the place so that the window stays where the user sees it, on the monitor
    // it was moved to. Through the form, so that it stands as the form's own placement; the
    // stored position is the user's and is not written.
    form_->MoveWindow({suggested.left, suggested.top});
    SetWindowPos(window_, nullptr, 0, 0, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Backend::OnGetDpiScaledSize(int dotsPerInch, SIZE& size) {
    const Point client = form_->ScaledClientSize(FormScaleAt(dotsPerInch));
    // A pop-up without a border: the window is its client area.
    size.cx = client.X;
    size.cy = client.Y;
}
