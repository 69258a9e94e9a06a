// Event translation and painting for the calculator window; see FltkWindow.h.
#include "FltkWindow.h"

#include "CallbackGuard.h"
#include "ClipboardText.h"
#include "FltkPainter.h"
#include "KeyEventTranslation.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstddef>
#include <optional>

namespace {

std::optional<MouseButton> EventButton() {
    switch (Fl::event_button()) {
        case FL_LEFT_MOUSE:
            return MouseButton::Left;
        case FL_MIDDLE_MOUSE:
            return MouseButton::Middle;
        case FL_RIGHT_MOUSE:
            return MouseButton::Right;
        default:
            return std::nullopt;
    }
}

KeyModifiers EventModifiers() {
    return {.Shift = Fl::event_state(FL_SHIFT) != 0,
            .Control = Fl::event_state(FL_CTRL) != 0,
            .Alt = Fl::event_state(FL_ALT) != 0};
}

}  // namespace

// The position is explicit, so the window manager keeps the design's start at 0, 0.
FltkWindow::FltkWindow() : Fl_Double_Window(0, 0, 1, 1) {
    border(0);
    color(FL_WHITE);
    callback(CloseRequested);
    end();
}

void FltkWindow::Attach(Form* form) {
    form_ = form;
}

int FltkWindow::handle(int event) {
    if (form_ == nullptr) {
        return Fl_Double_Window::handle(event);
    }
    int used = 0;
    GuardCallback(form_, [&] { used = FormEvent(event); });
    return used;
}

int FltkWindow::FormEvent(int event) {
    switch (event) {
        case FL_PUSH:
        case FL_DRAG:
        case FL_MOVE:
        case FL_RELEASE:
            return MouseEvent(event);
        case FL_ENTER:
            // Taking the enter event makes FLTK send the moves that follow.
            TellPointer();
            return 1;
        case FL_LEAVE:
            form_->MouseLeave();
            return 1;
        case FL_HIDE:
            // A hidden window gets no release: whatever press was in progress ends here.
            form_->CaptureLost();
            Fl_Double_Window::handle(event);
            return 1;
        case FL_FOCUS:
        case FL_UNFOCUS:
            // Taking the focus makes typed keys arrive as FL_KEYBOARD.
            return 1;
        case FL_KEYBOARD:
        case FL_SHORTCUT:
            // Without a window manager the window never gets the focus and keys come as
            // shortcuts; a key taken as FL_KEYBOARD does not come again as a shortcut.
            return KeyEvent();
        case FL_PASTE: {
            const char* text = Fl::event_text();
            const auto length = static_cast<std::size_t>(std::max(0, Fl::event_length()));
            form_->ClipboardTextArrived({text, ClipboardTextLength(text, length)});
            return 1;
        }
        default:
            return Fl_Double_Window::handle(event);
    }
}

void FltkWindow::draw() {
    painted_ = true;
    fl_color(FL_WHITE);
    fl_rectf(0, 0, w(), h());
    GuardCallback(form_, [&] {
        if (form_ != nullptr) {
            textPlaces_.Clear();
            FltkPainter painter(textPlaces_);
            form_->Paint(painter);
        }
    });
}

// The window callback runs for the window manager's close (Alt+F4, as FL_CLOSE) and for an
// Escape nobody took, whose default would hide the window. Escape is the all-clear key and must
// never close the calculator.
void FltkWindow::CloseRequested(Fl_Widget* window, void*) {
    auto& self = *static_cast<FltkWindow*>(window);
    GuardCallback(self.form_, [&] {
        if (Fl::event() == FL_CLOSE && self.form_ != nullptr) {
            self.form_->Close();
        }
    });
}

int FltkWindow::MouseEvent(int event) {
    const Point pointer = ClientPointer();
    if (event == FL_DRAG || event == FL_MOVE) {
        TellPointer();
        return 1;
    }
    // A double-click arrives as a press with Fl::event_clicks() set; it is an ordinary press.
    const std::optional<MouseButton> button = EventButton();
    if (!button) {
        return 0;
    }
    if (event == FL_PUSH) {
        form_->MouseDown(*button, pointer);
        lastPointer_ = pointer;
    } else {
        // FLTK holds a motion back until the batch of events it came in is handled, and so
        // passes a release that came in the same batch before it: the way to the release point
        // is told first, so that a drag ends where the button went up, at once.
        if (pointer != lastPointer_) {
            TellPointer();
        }
        form_->MouseUp(*button, ClientPointer());
    }
    return 1;
}

void FltkWindow::TellPointer() {
    form_->MouseMove(ClientPointer());
    // A drag moves the window under the pointer, so the point is taken again afterwards.
    lastPointer_ = ClientPointer();
}

// The text is what the keyboard layout produced: "*" even where it shares the key of "8", "\r"
// for both Enter keys, "\x1b" for Escape, nothing for modifiers and NumLock.
int FltkWindow::KeyEvent() {
    const KeyModifiers modifiers = EventModifiers();
    const TranslatedKeyEvent translated =
        TranslateKeyEvent({Fl::event_text(), static_cast<std::size_t>(Fl::event_length())},
                          Fl::event_key(), modifiers);
    if (translated.MenuKey) {
        form_->MenuKey();
    }
    if (translated.ShortcutLetter) {
        form_->KeyDown(*translated.ShortcutLetter, modifiers);
    }
    for (const char32_t typed : translated.Typed) {
        form_->CharTyped(typed);
    }
    return translated.Used() ? 1 : 0;
}

// From root coordinates: the window moves under the pointer while it is dragged, and the event's
// window-relative coordinates would lag one move behind.
Point FltkWindow::ClientPointer() const {
    return {Fl::event_x_root() - x_root(), Fl::event_y_root() - y_root()};
}
