// Thread messages of the application thread besides the commands (WM_COMMAND with an id from
// resources/resource_ids.h).
#pragma once

#include <windows.h>

// The system's settings or the display changed (the tray window received WM_SETTINGCHANGE or
// WM_DISPLAYCHANGE); wParam and lParam are those of the broadcast. The monitor layout may be
// different now.
inline constexpr UINT UM_SETTINGCHANGE = WM_USER;
// The system woke from sleep or hibernation (the tray window received WM_POWERBROADCAST);
// wParam is the broadcast's event, PBT_APMRESUMEAUTOMATIC or PBT_APMRESUMESUSPEND.
inline constexpr UINT UM_RESUME = WM_USER + 1;
// A notice that tells whether anybody can see the desktop, or whether the system saves energy
// (the tray window received WM_WTSSESSION_CHANGE, or WM_POWERBROADCAST with a power-setting
// change): wParam is the notice's PresenceSource, lParam its value (app/desktop_presence.h).
inline constexpr UINT UM_PRESENCE = WM_USER + 2;
