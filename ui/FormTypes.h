#pragma once
// Plain value types shared by the form runtime and its backends: points, rectangles, mouse
// buttons, colours, cursors, the screen layout and what a screen reader learns of a control. No
// toolkit, no platform.

#include <cstdint>
#include <string>
#include <vector>

struct Point {
    int X = 0;
    int Y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;

    int Right() const { return Left + Width; }
    int Bottom() const { return Top + Height; }
    bool Contains(Point p) const {
        return p.X >= Left && p.X < Right() && p.Y >= Top && p.Y < Bottom();
    }
    bool Intersects(const Rect& other) const {
        return Left < other.Right() && other.Left < Right() && Top < other.Bottom() &&
               other.Top < Bottom();
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class MouseButton { Left, Right, Middle };

// An exact 24-bit colour, as the colour key names the one colour that is see-through.
struct Colour {
    std::uint8_t Red = 0;
    std::uint8_t Green = 0;
    std::uint8_t Blue = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

// The colours of the face drawn from the controls while the desktop asks for high contrast, by
// the roles the system gives them: the display in the window colours, the keys in the button
// colours, the key under a press in the highlight colours, every frame in the window-text colour.
struct SystemColours {
    Colour Window;
    Colour WindowText;
    Colour ButtonFace;
    Colour ButtonText;
    Colour Highlight;
    Colour HighlightText;
    friend bool operator==(const SystemColours&, const SystemColours&) = default;
};

enum class PointerShape { Arrow, Hand, SizeAll };

enum class TextAlignment { Right, Center };

// What a screen reader is told a control is. The display is the one element that says what the
// display shows as a whole: the number being typed, or the result.
enum class AccessibleRole { PushButton, StaticText, Display };

// One element as a screen reader finds it: its role, what it is called and what more there is to
// say about it, where it lies in the window, and what the form decides about it: whether the
// reader is on it, the key that enters it and what its one action is called. The stacks only
// translate this into their own terms.
struct AccessibleElement {
    AccessibleRole Role = AccessibleRole::PushButton;
    std::string Name;
    std::string Description;
    Rect Bounds;
    // The one element a screen reader is on; focused while the program is the active one.
    bool Focusable = false;
    bool Focused = false;
    // The keyboard key that enters it, as the keyboard calls it; empty for none.
    std::string Shortcut;
    // What its action is called; empty when there is nothing to press.
    std::string Action;
    // The display shows a result (after "=" or an operator), not a number being typed.
    bool ShowsResult = false;
};

// The primary screen holds the default place; the desktop, the rectangle spanning all monitors,
// decides the pull-back from beyond its right and bottom edges; the list of monitors decides
// whether a position is reachable at all; each monitor's work area, the part its panels leave
// free (in the order of Monitors; missing ones are the whole monitor), how large the form may be.
struct ScreenLayout {
    Rect Primary;
    std::vector<Rect> Monitors;
    Rect Desktop;
    std::vector<Rect> WorkAreas;
};

// How much larger than the design the form is drawn: Numerator / Denominator, both positive.
struct ScaleFactor {
    int Numerator = 1;
    int Denominator = 1;
    friend bool operator==(const ScaleFactor& a, const ScaleFactor& b) {
        return std::int64_t{a.Numerator} * b.Denominator ==
               std::int64_t{b.Numerator} * a.Denominator;
    }
};

// Multiplies by numerator / denominator and rounds half away from zero, as the platform's
// MulDiv does; the scaling of every edge, font and skin pixel goes through it.
inline int RoundedMulDiv(int value, int numerator, int denominator) {
    const std::int64_t product = std::int64_t{value} * numerator;
    const std::int64_t half = denominator / 2;
    const std::int64_t rounded = product >= 0 ? product + half : product - half;
    return static_cast<int>(rounded / denominator);
}

struct KeyModifiers {
    bool Shift = false;
    bool Control = false;
    bool Alt = false;
};
