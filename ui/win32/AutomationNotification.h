#pragma once
// What the display says, told through UI Automation's notification, which readers speak
// wherever their focus is and which supersedes what is still waiting from the same window: a
// display that changes again replaces the older text instead of queueing behind it. The
// notification is raised on the element's own UI Automation provider, which the system makes
// from our IAccessible. Where the system lacks the notification (before Windows 10 1709, Wine 8),
// nothing is raised and the WinEvents alone tell.

#include <windows.h>

#include <oleacc.h>

#include <string>

#include "OleLibraries.h"

// UI Automation's NotificationKind_Other and NotificationProcessing_ImportantMostRecent.
inline constexpr int DisplayNotificationKind = 4;
inline constexpr int DisplayNotificationProcessing = 1;
// One activity for every display update, so that readers treat them as one stream.
inline constexpr wchar_t DisplayActivity[] = L"RechnerAnzeige";

// Raises the notification for the child (an MSAA child id) saying text; false where the system
// has no notification or the call failed.
bool RaiseDisplayNotification(const OleLibraries& ole, IAccessible* accessible, LONG child,
                              const std::string& text);
