#pragma once
// Every key press and release through the screen reader first, as toolkits do: the key is
// offered to the screen-reader library before FLTK hands it to the window, and a key the
// screen reader takes as its own command never reaches the calculator. Only the X server's
// own key events are offered, once each; keys the program makes up itself are not.

#include <functional>

#include <FL/Fl.H>

#include "AccessibleWindow.h"

class ReaderKeys {
public:
    // While this lives, `offer` sees each key first and answers whether it took it.
    explicit ReaderKeys(std::function<bool(const ReaderKey&)> offer);
    ~ReaderKeys();
    ReaderKeys(const ReaderKeys&) = delete;
    ReaderKeys& operator=(const ReaderKeys&) = delete;

private:
    static int Dispatch(int event, Fl_Window* window);
    bool Offer(int event);

    std::function<bool(const ReaderKey&)> offer_;
    Fl_Event_Dispatch previous_;
    struct OfferedEvent {
        unsigned long Serial = 0;
        int Type = 0;
        unsigned long When = 0;
        unsigned Code = 0;
        bool operator==(const OfferedEvent&) const = default;
    };
    OfferedEvent lastOffered_;
};
