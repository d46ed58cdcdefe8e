// What the application tests share: a scratch working directory, a clean settings key, reading
// the thread's own messages, and the system's power-setting notices.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>

#include "framework/worker_thread_win.h"
#include "settings/settings.h"
#include "tests/framework/modal_loop_support_win.h"
#include "tests/render/working_folder.h"

struct ThreadMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The next message posted to the thread itself, without a window; window messages met on the
// way are dispatched.
std::optional<ThreadMessage> NextThreadMessage();

// Dispatches the thread's messages until a thread message `message` arrives (true) or the
// deadline passes (false). Thread messages of other numbers are dropped.
bool WaitForThreadMessage(UINT message, std::chrono::milliseconds deadline,
                          ThreadMessage* received = nullptr);

// The stored settings as a test wants them: the key is removed, then the record that `change`
// has adjusted from the defaults, with an empty mirror list, is stored. Without a change the
// key simply stays away.
void StoreSettings(const std::function<void(CSettings&)>& change = nullptr);
void RemoveStoredSettings();

// The power settings whose changes tell whether anybody can see the desktop or whether the system
// saves energy, by their documented identifiers: GUID_SESSION_DISPLAY_STATUS,
// GUID_MONITOR_POWER_ON, GUID_POWER_SAVING_STATUS and GUID_ENERGY_SAVER_STATUS.
inline constexpr GUID kSessionDisplayStatus = {
    0x2B84C20E, 0xAD23, 0x4DDF, {0x93, 0xDB, 0x05, 0xFF, 0xBD, 0x7E, 0xFC, 0xA5}};
inline constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xE6, 0xE5, 0xA1, 0x7E, 0xBD, 0x1A, 0xEA}};
inline constexpr GUID kPowerSavingStatus = {
    0xE00958C0, 0xC213, 0x4ACE, {0xAC, 0x77, 0xFE, 0xCC, 0xED, 0x2E, 0xEE, 0xA5}};
inline constexpr GUID kEnergySaverStatus = {
    0x550E8400, 0xE29B, 0x41D4, {0xA7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};

// Sends window the notice of a power setting's new value (WM_POWERBROADCAST with
// PBT_POWERSETTINGCHANGE), as the system does to a window registered for it, with a record of
// dataLength bytes. The record lives in this process: the system's notices cannot be had under
// Wine, and a notice sent from another process would carry a pointer into that one.
LRESULT SendPowerSettingChange(HWND window, const GUID& setting, DWORD value,
                               DWORD dataLength = sizeof(DWORD));
