#pragma once
// The one guard of every FLTK callback: nothing may unwind into FLTK's own frames. While a form
// is attached, what escapes is shown by the form's exception box and the program carries on;
// without one there is nobody to tell, and the event is dropped.

#include "Form.h"

template <typename Work>
void GuardCallback(Form* form, Work&& work) noexcept {
    if (form != nullptr) {
        form->RunGuarded(work);
        return;
    }
    try {
        work();
    } catch (...) {
        // No form, no box: the event is dropped.
    }
}
