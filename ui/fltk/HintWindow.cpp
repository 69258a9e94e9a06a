// The hint window; see HintWindow.h.
#include "HintWindow.h"

#include "FltkX11.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_draw.H>

#include <algorithm>

namespace {

// The hint sits below the pointer's arrow, as the platform's tooltips do.
constexpr int PointerHeight = 20;

}  // namespace

HintWindow::HintWindow() : Fl_Menu_Window(0, 0, 1, 1) {
    // Override-redirect: the window manager neither frames it nor gives it the focus.
    set_override();
    set_tooltip_window();
    box(FL_BORDER_BOX);
    color(Fl_Tooltip::color());
    end();
}

void HintWindow::ShowAt(const std::string& text, Point screenPointer) {
    text_ = text;
    fl_font(Fl_Tooltip::font(), Fl_Tooltip::size());
    int width = 0;
    int height = 0;
    fl_measure(text_.c_str(), width, height, 0);
    width += 2 * Fl_Tooltip::margin_width();
    height += 2 * Fl_Tooltip::margin_height();

    // Keep the hint on the screen the pointer is on.
    int screenX = 0;
    int screenY = 0;
    int screenWidth = 0;
    int screenHeight = 0;
    Fl::screen_xywh(screenX, screenY, screenWidth, screenHeight, screenPointer.X, screenPointer.Y);
    const int left = std::max(screenX, std::min(screenPointer.X, screenX + screenWidth - width));
    int top = screenPointer.Y + PointerHeight;
    if (top + height > screenY + screenHeight) {
        top = screenPointer.Y - height;
    }
    resize(left, top, width, height);
    redraw();
    show();
}

void HintWindow::draw() {
    draw_box();
    fl_font(Fl_Tooltip::font(), Fl_Tooltip::size());
    fl_color(Fl_Tooltip::textcolor());
    fl_draw(text_.c_str(), Fl_Tooltip::margin_width(), Fl_Tooltip::margin_height(),
            w() - 2 * Fl_Tooltip::margin_width(), h() - 2 * Fl_Tooltip::margin_height(),
            FL_ALIGN_LEFT | FL_ALIGN_INSIDE, nullptr, 0);
}
