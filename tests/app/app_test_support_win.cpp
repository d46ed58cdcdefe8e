#include "app_test_support_win.h"

#include <cstddef>
#include <cstring>
#include <thread>

namespace {

constexpr char kSettingsKeyPath[] = "SOFTWARE\\Orbiscape";
constexpr auto kPollInterval = std::chrono::milliseconds(10);

}  // namespace

std::optional<ThreadMessage> NextThreadMessage() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.hwnd == nullptr) {
            return ThreadMessage{message.message, message.wParam, message.lParam};
        }
        DispatchMessageA(&message);
    }
    return std::nullopt;
}

bool WaitForThreadMessage(UINT message, std::chrono::milliseconds deadline, ThreadMessage* received) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (std::chrono::steady_clock::now() < end) {
        while (const auto next = NextThreadMessage()) {
            if (next->message == message) {
                if (received != nullptr) {
                    *received = *next;
                }
                return true;
            }
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(kPollInterval.count()), QS_ALLINPUT);
    }
    return false;
}

void RemoveStoredSettings() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
}

void StoreSettings(const std::function<void(CSettings&)>& change) {
    RemoveStoredSettings();
    if (!change) {
        return;
    }
    CSettings settings;
    // The built-in mirrors and monthly maps' sources are real servers, which no test may reach.
    settings.URLs.clear();
    settings.SharpMapSources.clear();
    change(settings);
    settings.Save();
}

LRESULT SendPowerSettingChange(HWND window, const GUID& setting, DWORD value, DWORD dataLength) {
    // The record ends in a one-byte array that holds the value's first byte; room for the rest.
    union {
        POWERBROADCAST_SETTING record;
        unsigned char bytes[sizeof(POWERBROADCAST_SETTING) + sizeof(DWORD)];
    } notice = {};
    notice.record.PowerSetting = setting;
    notice.record.DataLength = dataLength;
    std::memcpy(notice.bytes + offsetof(POWERBROADCAST_SETTING, Data), &value, sizeof(value));
    return SendMessageA(window, WM_POWERBROADCAST, PBT_POWERSETTINGCHANGE,
                        reinterpret_cast<LPARAM>(&notice.record));
}
