// Keys through the screen reader first; see ReaderKeys.h.
#include "ReaderKeys.h"

#include <FL/x.H>
#include <X11/Xutil.h>

#include <array>
#include <optional>
#include <utility>

namespace {

ReaderKeys* current = nullptr;

// The Latin-1 text XLookupString gives, as UTF-8.
std::string Utf8FromLatin1(const char* text, int length) {
    std::string utf8;
    for (int index = 0; index < length; ++index) {
        const auto byte = static_cast<unsigned char>(text[index]);
        if (byte < 0x80) {
            utf8 += static_cast<char>(byte);
        } else {
            utf8 += static_cast<char>(0xc0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3f));
        }
    }
    return utf8;
}

// Whether the first character is one a person sees: no control, no space.
bool Visible(const std::string& utf8) {
    const auto first = static_cast<unsigned char>(utf8.front());
    if (first < 0x80) {
        return first > 0x20 && first != 0x7f;
    }
    // Latin-1's second half: its controls and the no-break space are not visible.
    const unsigned code = ((first & 0x1fu) << 6) | (static_cast<unsigned char>(utf8[1]) & 0x3fu);
    return code > 0xa0;
}

// The key as a screen reader is told of it, or nothing for an event that is no key.
std::optional<ReaderKey> ReaderKeyFromEvent(const XEvent& event) {
    if (event.type != KeyPress && event.type != KeyRelease) {
        return std::nullopt;
    }
    XKeyEvent key = event.xkey;
    std::array<char, 16> buffer{};
    KeySym symbol = NoSymbol;
    const int length =
        XLookupString(&key, buffer.data(), static_cast<int>(buffer.size()), &symbol, nullptr);
    ReaderKey reader{.Press = event.type == KeyPress,
                     .Modifiers = key.state,
                     .Symbol = static_cast<unsigned>(symbol),
                     .Text = Utf8FromLatin1(buffer.data(), length),
                     .Code = static_cast<unsigned short>(key.keycode),
                     .Time = key.time};
    if (reader.Text.empty() || !((key.state & ControlMask) != 0 || Visible(reader.Text))) {
        const char* name = symbol != NoSymbol ? XKeysymToString(symbol) : nullptr;
        reader.Text = name != nullptr ? name : "";
    }
    return reader;
}

}  // namespace

ReaderKeys::ReaderKeys(std::function<bool(const ReaderKey&)> offer)
    : offer_(std::move(offer)), previous_(Fl::event_dispatch()) {
    current = this;
    Fl::event_dispatch(Dispatch);
}

ReaderKeys::~ReaderKeys() {
    Fl::event_dispatch(previous_);
    current = nullptr;
}

int ReaderKeys::Dispatch(int event, Fl_Window* window) {
    ReaderKeys* self = current;
    if (self != nullptr && (event == FL_KEYDOWN || event == FL_KEYUP) && self->Offer(event)) {
        return 1;
    }
    const Fl_Event_Dispatch previous = self != nullptr ? self->previous_ : nullptr;
    return previous != nullptr ? previous(event, window) : Fl::handle_(event, window);
}

// FLTK hands each key event to the window through here once; the program's own made-up keys
// (Escape to a menu) bypass it. An event is offered only when it is the X server's key event
// and not the one offered last.
//
// A held key repeats as a release and a press with the same time and key. FLTK reads the press
// ahead and hands it on as a key-down while the event it exposes is still the release: that
// key-down is the repeated press, and is offered as one, as a toolkit with detectable
// auto-repeat offers every repeat.
bool ReaderKeys::Offer(int event) {
    const XEvent* x = fl_xevent;
    if (x == nullptr || (x->type != KeyPress && x->type != KeyRelease)) {
        return false;
    }
    XEvent reported = *x;
    if (event == FL_KEYDOWN) {
        reported.type = KeyPress;
    } else if (x->type != KeyRelease) {
        return false;
    }
    // Events without a request between them share a serial number; with the same type, time
    // and key it is the same event.
    const OfferedEvent offered{x->xany.serial, reported.type, x->xkey.time, x->xkey.keycode};
    if (offered == lastOffered_) {
        return false;
    }
    lastOffered_ = offered;
    const std::optional<ReaderKey> key = ReaderKeyFromEvent(reported);
    return key && offer_(*key);
}
