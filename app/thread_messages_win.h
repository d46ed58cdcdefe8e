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
