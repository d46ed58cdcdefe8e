// Thread messages of the application thread besides the commands (WM_COMMAND with an id from
// resources/resource_ids.h).
#pragma once

#include <windows.h>

// The system's settings changed (the tray window received WM_SETTINGCHANGE); wParam and lParam
// are those of the broadcast. The monitor layout may be different now.
inline constexpr UINT UM_SETTINGCHANGE = WM_USER;
