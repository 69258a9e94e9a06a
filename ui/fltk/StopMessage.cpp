// The stop message box over fl_alert; see StopMessage.h.
#include "StopMessage.h"

#include <FL/Fl.H>
#include <FL/Fl_Widget.H>
#include <FL/fl_ask.H>
#include <FL/fl_draw.H>

#include <algorithm>

namespace {

constexpr Fl_Labeltype StopSignLabel = FL_FREE_LABELTYPE;

// fl_alert writes its own "!" into the icon's label on every call, so the stop sign is a label
// type that draws the sign whatever the label's text.
void DrawStopSign(const Fl_Label*, int x, int y, int w, int h, Fl_Align) {
    const int size = std::min(w, h);
    const int left = x + (w - size) / 2;
    const int top = y + (h - size) / 2;
    fl_color(fl_rgb_color(204, 0, 0));
    fl_pie(left, top, size, size, 0, 360);
    fl_color(FL_WHITE);
    fl_line_style(FL_SOLID | FL_CAP_ROUND, std::max(2, size / 8));
    const int inset = size * 3 / 10;
    const int right = left + size - inset;
    const int bottom = top + size - inset;
    fl_line(left + inset, top + inset, right, bottom);
    fl_line(right, top + inset, left + inset, bottom);
    fl_line_style(0);
}

void MeasureStopSign(const Fl_Label*, int& w, int& h) {
    w = 0;
    h = 0;
}

}  // namespace

void ShowStopMessage(const std::string& text, const std::string& caption) {
    Fl::set_labeltype(StopSignLabel, DrawStopSign, MeasureStopSign);
    Fl_Widget* icon = fl_message_icon();
    icon->box(FL_NO_BOX);
    icon->labeltype(StopSignLabel);
    fl_close = "OK";
    fl_message_title(caption.c_str());
    fl_alert("%s", text.c_str());
}
