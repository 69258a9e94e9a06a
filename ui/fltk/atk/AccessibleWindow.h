#pragma once
// The one seam between the calculator and its screen-reader library, which it loads only when
// an assistive technology listens: what the library may ask of the window, what the window
// tells the library, and the one entry point the program looks up in it. Both sides are built
// from this tree by the same compiler, so the interface is plain C++.

#include <cstddef>
#include <optional>
#include <string>

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
    // The element a screen reader is on, and whether the program is the active one.
    virtual std::optional<std::size_t> FocusElement() = 0;
    virtual bool Active() = 0;
    // Presses a push button soon, from the event loop: the call that asked returns at once.
    virtual void Press(std::size_t index) = 0;
};

// The library's side: it keeps the accessible objects and the bridge to the accessibility bus.
class AccessibilityBridge {
public:
    virtual ~AccessibilityBridge() = default;
    virtual void Changed(std::size_t element, AccessibleChange change) = 0;
    // The window's form is gone: whoever still holds an object finds it defunct.
    virtual void FormGone() = 0;
    // Handles what the bus has sent since the last call; true when there was something, so
    // that more may follow soon.
    virtual bool ServeEvents() = 0;
};

// The entry point, looked up by this name: the bridge for the window, announced on the
// accessibility bus, or nullptr when it cannot be reached. The window outlives the bridge.
extern "C" AccessibilityBridge* RechnerOpenAccessibility(AccessibleWindow* window);
using OpenAccessibilityFunction = AccessibilityBridge* (*)(AccessibleWindow* window);
inline constexpr const char* OpenAccessibilityName = "RechnerOpenAccessibility";
