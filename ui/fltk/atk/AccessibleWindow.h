#pragma once
// The one seam between the calculator and its screen-reader library, which it loads only when
// an assistive technology listens: what the library may ask of the window, what the window
// tells the library, and the one entry point the program looks up in it. Both sides are built
// from this tree by the same compiler, so the interface is plain C++.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "FormBackend.h"
#include "FormTypes.h"

// The window as the library sees it. Every call comes from the GUI thread, from inside the
// library's share of the event loop; what a call throws, the library's ATK method catches and
// answers as an empty object would, so nothing unwinds through GLib.
class AccessibleWindow {
public:
    virtual ~AccessibleWindow() = default;
    virtual std::string Title() = 0;
    virtual std::size_t ElementCount() = 0;
    // What the form says of the element: its role, name, states, key and action.
    virtual AccessibleElement Element(std::size_t index) = 0;
    // The client area on the screen: where the element bounds start from.
    virtual Rect ScreenBounds() = 0;
    virtual std::optional<std::size_t> ElementAt(Point client) = 0;
    // Where each character of the element's name was painted, in client coordinates; empty
    // when it was not painted as it reads.
    virtual std::vector<Rect> CharacterPlaces(std::size_t index) = 0;
    // Whether the program is the active one.
    virtual bool Active() = 0;
    // Presses a push button soon, from the event loop: the call that asked returns at once.
    virtual void Press(std::size_t index) = 0;
};

// A key press or release as the X server reported it, for a screen reader to see before the
// calculator does.
struct ReaderKey {
    bool Press = true;
    unsigned Modifiers = 0;  // the X modifier and button state
    unsigned Symbol = 0;     // the keysym, with the shift level applied
    // UTF-8: the character the key types when it is a visible one or Ctrl is held, else the
    // keysym's name ("Return", "Shift_L"), as a screen reader names the key.
    std::string Text;
    unsigned short Code = 0;  // the hardware key code
    unsigned long Time = 0;   // the X server's time of the event, in milliseconds
};

// What the library's share of the loop waits for next: descriptors to become readable or
// writable, and a time in milliseconds (-1 none, 0 at once) after which it is due anyway.
struct LoopDescriptor {
    int Descriptor = -1;
    bool Read = false;
    bool Write = false;
};
struct LoopWait {
    std::vector<LoopDescriptor> Descriptors;
    int TimeoutMilliseconds = -1;
};

// The library's side: it keeps the accessible objects and the bridge to the accessibility bus.
class AccessibilityBridge {
public:
    virtual ~AccessibilityBridge() = default;
    virtual void Changed(std::size_t element, AccessibleChange change) = 0;
    // The popup menu opened with these items, the first one chosen; it closed again.
    virtual void MenuShown(const std::vector<std::string>& items) = 0;
    virtual void MenuClosed() = 0;
    // A message to be said once, as the element's news.
    virtual void Say(std::size_t element, const std::string& message) = 0;
    // The window's form is gone: whoever still holds an object finds it defunct.
    virtual void FormGone() = 0;
    // Offers a key to the screen reader first; true when it took the key as its own command,
    // which the calculator then must not see.
    virtual bool KeyEvent(const ReaderKey& key) = 0;
    // Handles what is due on the bus and says what to wait for until the next call. The program
    // calls it when something it waits for happens, and after every other call of the library,
    // which may have given the bus something to send.
    virtual LoopWait ServeEvents() = 0;
};

// The entry point, looked up by this name: the bridge for the window, announced on the
// accessibility bus, or nullptr when it cannot be reached. The window outlives the bridge.
extern "C" AccessibilityBridge* RechnerOpenAccessibility(AccessibleWindow* window);
using OpenAccessibilityFunction = AccessibilityBridge* (*)(AccessibleWindow* window);
inline constexpr const char* OpenAccessibilityName = "RechnerOpenAccessibility";
