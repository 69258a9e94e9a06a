// The Win32 backend's answers to a change of resolution under per-monitor awareness: the window
// moved to a monitor of another scale, or the monitor's scale changed.
#include "Form.h"
#include "MonitorScale.h"
#include "Win32Backend.h"

void Win32Backend::OnDpiChanged(int dotsPerInch, const RECT& suggested) {
    // The system chose the place so that the window stays where the user sees it, on the monitor
    // it was moved to; the form takes it as its own placement, and the stored position, which is
    // the user's, is not written.
    form_->ScaleChanged(FormScaleAt(dotsPerInch),
                        Rect{suggested.left, suggested.top, suggested.right - suggested.left,
                             suggested.bottom - suggested.top});
}

void Win32Backend::OnGetDpiScaledSize(int dotsPerInch, SIZE& size) {
    const Point client = form_->ScaledClientSize(FormScaleAt(dotsPerInch));
    // A pop-up without a border: the window is its client area.
    size.cx = client.X;
    size.cy = client.Y;
}
