#pragma once
// The messages the calculator's windows post to themselves, to act once the message that caused
// them is over.

#include <windows.h>

// Posted to the window itself, so the clipboard is read outside the key press that asked.
inline constexpr UINT PasteMessage = WM_APP + 1;
// Posted when the window moved, so the form hears of it once the move is over.
inline constexpr UINT WindowMovedMessage = WM_APP + 2;
// Posted to the owner window when it became active, so the calculator takes over once the
// activation is complete.
inline constexpr UINT HandActivationMessage = WM_APP + 3;
// Posted by a screen reader's press of an element, whose index it carries.
inline constexpr UINT AccessiblePressMessage = WM_APP + 4;
