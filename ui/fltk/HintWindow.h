#pragma once
// The hint shown over a control: a small borderless window in the system's tooltip colours (in
// high contrast, the window's own) just below and right of the pointer, its text and margins
// scaled as the form is. It never takes the focus; the form decides when it shows and hides.

#include <FL/Fl_Menu_Window.H>

#include <functional>
#include <optional>
#include <string>

#include "FormTypes.h"

class HintWindow : public Fl_Menu_Window {
public:
    HintWindow();
    // scaled turns the tooltip's design pixels into the form's; contrast holds the desktop's
    // high-contrast colours while it asks for them.
    void ShowAt(const std::string& text, Point screenPointer,
                const std::function<int(int designPixels)>& scaled,
                const std::optional<SystemColours>& contrast);

protected:
    void draw() override;

private:
    std::string text_;
    int fontSize_ = 0;
    int marginWidth_ = 0;
    int marginHeight_ = 0;
    Fl_Color textColour_ = 0;
};
