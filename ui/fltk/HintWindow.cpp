// The hint window; see HintWindow.h.
#include "HintWindow.h"

#include "HintPosition.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

HintWindow::HintWindow() : Fl_Menu_Window(0, 0, 1, 1) {
    // Override-redirect: the window manager neither frames it nor gives it the focus.
    set_override();
    set_tooltip_window();
    box(FL_BORDER_BOX);
    color(Fl_Tooltip::color());
    end();
}

void HintWindow::ShowAt(const std::string& text, Point screenPointer,
                        const std::function<int(int designPixels)>& scaled,
                        const std::optional<SystemColours>& contrast) {
    text_ = text;
    if (contrast) {
        // As the face is drawn, framed in the text's colour, which a border box draws in black.
        color(fl_rgb_color(contrast->Window.Red, contrast->Window.Green, contrast->Window.Blue));
        textColour_ = fl_rgb_color(contrast->WindowText.Red, contrast->WindowText.Green,
                                   contrast->WindowText.Blue);
    } else {
        color(Fl_Tooltip::color());
        textColour_ = Fl_Tooltip::textcolor();
    }
    fontSize_ = scaled(Fl_Tooltip::size());
    marginWidth_ = scaled(Fl_Tooltip::margin_width());
    marginHeight_ = scaled(Fl_Tooltip::margin_height());
    fl_font(Fl_Tooltip::font(), fontSize_);
    int width = 0;
    int height = 0;
    fl_measure(text_.c_str(), width, height, 0);
    width += 2 * marginWidth_;
    height += 2 * marginHeight_;

    Rect screen;
    Fl::screen_xywh(screen.Left, screen.Top, screen.Width, screen.Height, screenPointer.X,
                    screenPointer.Y);
    const Point position =
        HintPosition(width, height, screenPointer, screen, scaled(HintPointerHeight));
    resize(position.X, position.Y, width, height);
    redraw();
    show();
}

void HintWindow::draw() {
    fl_color(color());
    fl_rectf(0, 0, w(), h());
    fl_color(textColour_);
    fl_rect(0, 0, w(), h());
    fl_font(Fl_Tooltip::font(), fontSize_);
    fl_draw(text_.c_str(), marginWidth_, marginHeight_, w() - 2 * marginWidth_,
            h() - 2 * marginHeight_, FL_ALIGN_LEFT | FL_ALIGN_INSIDE, nullptr, 0);
}
