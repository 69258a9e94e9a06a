#pragma once
// What the calculator window asks of the X server and the window manager beyond what FLTK 1.3
// does itself: whole-window opacity, the colour key as a bounding shape (and its removal),
// activation, the window-manager state, and what the root window reports. Each call needs a mapped
// window; without a window manager the requests to it have no effect, which is harmless.

#include <vector>

#include "FormTypes.h"

// An X window id, kept as its integer type so that this header stays free of Xlib's macros.
using XWindowId = unsigned long;

// Sets _NET_WM_WINDOW_OPACITY, which compositors read from the window manager's frame.
void SetWindowOpacity(XWindowId window, int alpha);

// Only the given rectangles stay visible and take clicks; everything else is a hole to what lies
// behind.
void SetWindowShape(XWindowId window, const std::vector<Rect>& visible);

// The whole window shows and takes clicks again.
void RemoveWindowShape(XWindowId window);

// A borderless FLTK window starts out skipped by the taskbar, unfocused and in the normal layer:
// asks for the focus, a taskbar entry and the above-normal layer.
void PresentAboveOthers(XWindowId window);

// Whether the keyboard focus lies in one of this program's own windows (the calculator, its menu,
// tooltip or message boxes).
bool FocusIsOurs();

// Adds events of the root window (an Xlib event mask) to those it already reports to this
// program: a selection replaces the earlier one, on which FLTK and the program's other watchers
// rely.
void SelectRootEvents(long mask);
