#pragma once
// The last line of defence at every FLTK callback: nothing may unwind into FLTK's own frames.
// While a form is attached, what escapes is shown by the form's exception box and the program
// carries on; without one there is nobody to tell, and the event is dropped.

#include <exception>

#include "Form.h"

template <typename Work>
void GuardCallback(Form* form, Work&& work) noexcept {
    try {
        if (form != nullptr) {
            form->RunGuarded(work);
        } else {
            work();
        }
    } catch (...) {
        // Only the box itself failing ends up here; the event is dropped.
    }
}
