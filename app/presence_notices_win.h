// PresenceNotices: the system's notices that tell whether anybody can see the desktop (the
// display's state, session changes) and whether the system saves energy, registered for the
// tray's window. The system sends them only to a window that registered for them, and only to a
// top-level one; the tray passes each on to the application thread, which decides what it means
// (app/desktop_presence.h).
//
// The display's state is asked for this session's display on Windows 8 and later (on Windows 7,
// for the monitor's power), and the energy saving in both of its forms: battery saver (Windows
// 10) and energy saver (Windows 11). The system reports each state once at registration, then
// every change. The session changes are asked for this session only. At a login the session
// service may not be ready yet, and refuses the registration (RPC_S_INVALID_BINDING): it is tried
// again on a timer, like the tray's icon.
#pragma once

#include <windows.h>

#include <wtsapi32.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "app/desktop_presence.h"

// WTSRegisterSessionNotification; tests hand the tray a stand-in.
using SessionNoticeCall = std::function<BOOL(HWND window, DWORD flags)>;

// The window timer of the tries to register for session changes.
inline constexpr UINT_PTR kSessionNoticeRetryTimerId = 2;

struct PresenceNotice {
    PresenceSource source;
    std::uint32_t value;
};

// The notice that a window message carries: a session change (WM_WTSSESSION_CHANGE), or a
// power-setting change (WM_POWERBROADCAST with PBT_POWERSETTINGCHANGE) of one of the settings
// registered for, whose record lParam points to and which holds a 32-bit value. Nothing for any
// other message.
std::optional<PresenceNotice> PresenceNoticeOf(UINT message, WPARAM wParam, LPARAM lParam);

class PresenceNotices {
  public:
    // A refused registration for session changes is tried again every retryIntervalMs, at most
    // retries times.
    PresenceNotices(SessionNoticeCall registerSession, UINT retryIntervalMs, UINT retries);
    // Unregister.
    ~PresenceNotices();
    PresenceNotices(const PresenceNotices&) = delete;
    PresenceNotices& operator=(const PresenceNotices&) = delete;

    // Registers window for every notice. A power setting that the system does not know (energy
    // saver before Windows 11) is left out.
    void Register(HWND window);
    // The retry timer fired at the window.
    void OnRetryTimer();
    // Ends every registration and the tries; the window still exists.
    void Unregister();

    bool SessionRegistered() const { return sessionRegistered_; }

  private:
    bool RegisterSession();

    SessionNoticeCall registerSession_;
    UINT retryIntervalMs_;
    UINT retries_;
    UINT triesLeft_ = 0;
    HWND window_ = nullptr;  // we don't own it
    bool sessionRegistered_ = false;
    std::vector<HPOWERNOTIFY> powerSettings_;
};
