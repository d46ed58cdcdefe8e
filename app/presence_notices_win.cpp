#include "app/presence_notices_win.h"

#include <versionhelpers.h>

#include <cstring>
#include <utility>

namespace {

// The power settings' identifiers, which mingw's headers lack.
constexpr GUID kSessionDisplayStatus = {
    0x2b84c20e, 0xad23, 0x4ddf, {0x93, 0xdb, 0x05, 0xff, 0xbd, 0x7e, 0xfc, 0xa5}};
constexpr GUID kMonitorPowerOn = {
    0x02731015, 0x4510, 0x4526, {0x99, 0xe6, 0xe5, 0xa1, 0x7e, 0xbd, 0x1a, 0xea}};
constexpr GUID kPowerSavingStatus = {
    0xe00958c0, 0xc213, 0x4ace, {0xac, 0x77, 0xfe, 0xcc, 0xed, 0x2e, 0xee, 0xa5}};
constexpr GUID kEnergySaverStatus = {
    0x550e8400, 0xe29b, 0x41d4, {0xa7, 0x16, 0x44, 0x66, 0x55, 0x44, 0x00, 0x00}};

static_assert(static_cast<std::uint32_t>(SessionEvent::kConsoleConnect) == WTS_CONSOLE_CONNECT &&
                  static_cast<std::uint32_t>(SessionEvent::kConsoleDisconnect) == WTS_CONSOLE_DISCONNECT &&
                  static_cast<std::uint32_t>(SessionEvent::kRemoteConnect) == WTS_REMOTE_CONNECT &&
                  static_cast<std::uint32_t>(SessionEvent::kRemoteDisconnect) == WTS_REMOTE_DISCONNECT &&
                  static_cast<std::uint32_t>(SessionEvent::kLock) == WTS_SESSION_LOCK &&
                  static_cast<std::uint32_t>(SessionEvent::kUnlock) == WTS_SESSION_UNLOCK,
              "session events carry the system's numbers");

struct PowerSetting {
    const GUID* id;
    PresenceSource source;
};

// Windows 7 knows the monitor's power only, which has the same values for off and on.
const PowerSetting kPowerSettings[] = {
    {&kSessionDisplayStatus, PresenceSource::kDisplay},
    {&kMonitorPowerOn, PresenceSource::kDisplay},
    {&kPowerSavingStatus, PresenceSource::kBatterySaver},
    {&kEnergySaverStatus, PresenceSource::kEnergySaver},
};

}  // namespace

std::optional<PresenceNotice> PresenceNoticeOf(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WTSSESSION_CHANGE) {
        return PresenceNotice{PresenceSource::kSession, static_cast<std::uint32_t>(wParam)};
    }
    if (message != WM_POWERBROADCAST || wParam != PBT_POWERSETTINGCHANGE || lParam == 0) {
        return std::nullopt;
    }
    // The record lives only while the message is handled: its value is copied out.
    const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
    std::uint32_t value = 0;
    if (setting->DataLength < sizeof(value)) {
        return std::nullopt;
    }
    for (const PowerSetting& known : kPowerSettings) {
        if (IsEqualGUID(setting->PowerSetting, *known.id)) {
            std::memcpy(&value, setting->Data, sizeof(value));
            return PresenceNotice{known.source, value};
        }
    }
    return std::nullopt;
}

PresenceNotices::PresenceNotices(SessionNoticeCall registerSession, UINT retryIntervalMs, UINT retries)
    : registerSession_(std::move(registerSession)), retryIntervalMs_(retryIntervalMs), retries_(retries) {}

PresenceNotices::~PresenceNotices() {
    Unregister();
}

void PresenceNotices::Register(HWND window) {
    Unregister();
    window_ = window;
    // The session's own display tells the truth in a remote session too, where the console's
    // monitor may be off while its user looks at the picture.
    const GUID& display = IsWindows8OrGreater() ? kSessionDisplayStatus : kMonitorPowerOn;
    for (const GUID* setting : {&display, &kPowerSavingStatus, &kEnergySaverStatus}) {
        if (const HPOWERNOTIFY registered =
                RegisterPowerSettingNotification(window, setting, DEVICE_NOTIFY_WINDOW_HANDLE)) {
            powerSettings_.push_back(registered);
        }
    }
    if (!RegisterSession()) {
        triesLeft_ = retries_;
        if (triesLeft_ > 0) {
            SetTimer(window_, kSessionNoticeRetryTimerId, retryIntervalMs_, nullptr);
        }
    }
}

bool PresenceNotices::RegisterSession() {
    sessionRegistered_ = registerSession_(window_, NOTIFY_FOR_THIS_SESSION) != FALSE;
    return sessionRegistered_;
}

void PresenceNotices::OnRetryTimer() {
    if (window_ == nullptr) {
        return;
    }
    // After the last try the session counts as seen for the rest of the run, as it does before
    // any notice.
    if (RegisterSession() || triesLeft_ == 0 || --triesLeft_ == 0) {
        KillTimer(window_, kSessionNoticeRetryTimerId);
    }
}

void PresenceNotices::Unregister() {
    if (window_ == nullptr) {
        return;
    }
    KillTimer(window_, kSessionNoticeRetryTimerId);
    if (sessionRegistered_) {
        WTSUnRegisterSessionNotification(window_);
        sessionRegistered_ = false;
    }
    for (const HPOWERNOTIFY registered : powerSettings_) {
        UnregisterPowerSettingNotification(registered);
    }
    powerSettings_.clear();
    window_ = nullptr;
}
