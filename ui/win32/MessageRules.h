#pragma once
// What the calculator window's messages mean, where that needs no window to decide: kept apart
// from the window procedure so that it is tested without one.

#include <cstddef>
#include <cstdint>
#include <optional>

#include "FormBackend.h"

// Whether WM_CAPTURECHANGED ends a press the form did not end: not when the form released the
// capture itself, and not when the window took it again.
bool IsCaptureLoss(bool releasedByForm, bool takenBySameWindow);

// The menu item TrackPopupMenu's command stands for: items carry their index plus one, and 0
// means the menu was dismissed. -1 for a dismissal and for anything that is no item.
int MenuItemIndex(std::uintptr_t command, std::size_t itemCount);
// The command a menu item carries.
std::uintptr_t MenuCommand(std::size_t index);

// Window timers carry the form timer's number plus one, since 0 is no timer id.
std::uintptr_t TimerId(FormTimer timer);
std::optional<FormTimer> FormTimerOf(std::uintptr_t id);

// The shortcut letter of a key-down, lower-case, while Ctrl is held: Ctrl+C and Ctrl+V. Only the
// virtual keys of the letters A to Z count.
std::optional<char32_t> ShortcutLetter(std::uintptr_t virtualKey, bool controlHeld);
