#pragma once
// Plain value types shared by the form runtime and its backends: points, rectangles, mouse
// buttons, cursors, the screen layout and what a screen reader learns of a control. No toolkit,
// no platform.

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

enum class PointerShape { Arrow, Hand, SizeAll };

enum class TextAlignment { Right, Center };

// What a screen reader is told a control is.
enum class AccessibleRole { PushButton, StaticText };

// One control as a screen reader finds it: its role, what it is called and what more there is
// to say about it, and where it lies in the window.
struct AccessibleElement {
    AccessibleRole Role = AccessibleRole::PushButton;
    std::string Name;
    std::string Description;
    Rect Bounds;
};

// The primary screen holds the default place; the desktop, the rectangle spanning all monitors,
// decides the pull-back from beyond its right and bottom edges; the list of monitors decides
// whether a position is reachable at all.
struct ScreenLayout {
    Rect Primary;
    std::vector<Rect> Monitors;
    Rect Desktop;
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

struct KeyModifiers {
    bool Shift = false;
    bool Control = false;
    bool Alt = false;
};
