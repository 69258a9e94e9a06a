#pragma once
// The hint shown over a control: a small borderless window in the system's tooltip colours just
// below and right of the pointer. It never takes the focus; the form decides when it shows and
// hides.

#include <FL/Fl_Menu_Window.H>

#include <string>

#include "FormTypes.h"

class HintWindow : public Fl_Menu_Window {
public:
    HintWindow();
    void ShowAt(const std::string& text, Point screenPointer);

protected:
    void draw() override;

private:
    std::string text_;
};
