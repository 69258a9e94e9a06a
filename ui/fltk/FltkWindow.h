#pragma once
// The calculator's native window on X11: one borderless Fl_Double_Window whose handle() turns
// FLTK's events into calls on the form and whose draw() lets the form paint. It keeps no state
// about controls; the form decides everything.

#include <FL/Fl_Double_Window.H>

#include "Form.h"
#include "PaintedTexts.h"

class FltkWindow : public Fl_Double_Window {
public:
    FltkWindow();

    // Events before this, and after the form is gone (nullptr), are not passed on.
    void Attach(Form* form);

    int handle(int event) override;
    // Where the last paint put each label's characters.
    const PaintedTexts& TextPlaces() const { return textPlaces_; }

    // Whether the window has been drawn since it was shown: FLTK draws a new window only once
    // the X server has exposed it.
    bool Painted() const { return painted_; }

protected:
    void draw() override;

private:
    static void CloseRequested(Fl_Widget* window, void*);
    int FormEvent(int event);
    int MouseEvent(int event);
    // Passes the pointer's place on as a move.
    void TellPointer();
    int KeyEvent();
    Point ClientPointer() const;

    Form* form_ = nullptr;
    bool painted_ = false;
    // Where the form last heard the pointer, in the window as it stood after the form's answer.
    Point lastPointer_;
    PaintedTexts textPlaces_;
};
