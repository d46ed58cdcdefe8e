// CSystemTray: the program's icon in the notification area and the hidden window behind it.
// The tray does no work of its own. Every menu choice reaches its window as WM_COMMAND and goes
// on, unchanged, to the application thread as a thread command; the system's settings-change
// broadcast goes on as UM_SETTINGCHANGE. The application thread does the rest.
//
// The window belongs to the application thread, so a command posted from inside the popup
// menu's loop runs only after TrackPopupMenu has returned. It is a hidden top-level window (not a
// message-only one), because only top-level windows receive the system's broadcasts: besides
// the settings change, a change of the display (WM_DISPLAYCHANGE, which often comes without a
// settings change) goes on as UM_SETTINGCHANGE, and the wake from sleep or hibernation as
// UM_RESUME. The window registers for the notices that tell whether anybody can see the desktop
// (app/presence_notices_win.h), which go on as UM_PRESENCE.
//
// The icon may be refused: a program started at login can run before the shell's notification
// area is ready. A refused add is tried again every few seconds for the first minutes, and once
// more at every "TaskbarCreated", which the shell broadcasts when its taskbar is (re)created,
// until the icon is there. An add that the shell reports as failed (it timed out) may have taken
// effect all the same, so each new try first asks the shell to modify the icon, which succeeds
// only when the icon is there: a shell that would take a second add never shows two icons.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <functional>
#include <string_view>

#include "app/presence_notices_win.h"
#include "framework/wnd_win.h"

// The mouse events of the icon arrive at the tray's window as this message.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 10;
// The window timer of the tray's tries to add a refused icon.
inline constexpr UINT_PTR kIconRetryTimerId = 1;

// The shell's notification call, Shell_NotifyIconA; tests hand the tray a shell of their own.
using ShellNotifyCall = std::function<BOOL(DWORD message, NOTIFYICONDATAA* record)>;

// How often and how long a refused icon is tried again: every intervalMs, at most tries times
// after the refusal, which spans the first minutes after a login or after the taskbar's return.
// A refused registration for session changes is tried again as often.
struct IconRetrySchedule {
    UINT intervalMs = 5000;
    UINT tries = 60;
};

class CSystemTray : public CWnd {
  public:
    // The record cleared, nothing added; registers "TaskbarCreated" if no tray has done so yet.
    explicit CSystemTray(ShellNotifyCall shell = &Shell_NotifyIconA, IconRetrySchedule retries = {},
                         SessionNoticeCall sessionNotices = &WTSRegisterSessionNotification);
    // Destroy.
    ~CSystemTray() override;

    // Makes the hidden window, registers it for the presence notices and adds the icon with the
    // tooltip "Orbiscape". Returns whether the icon was added; when it was not, the tries to add
    // it go on (see the top of this file).
    // Refused (false, no window) on systems before version 4, which have no notification area,
    // and when the tray holds a window already.
    bool Create(HICON icon);
    // Takes the icon out of the notification area, if it is there, and stops any tries to add it.
    void Remove();
    // Tries to add the icon, if an add is pending (since Create, or since the taskbar returned).
    // When the shell refuses it, a new series of timed tries begins.
    void ReAdd();
    // Remove, end the presence notices, then destroy the hidden window.
    void Destroy();
    // Shows a warning balloon from the icon, for something the user should hear of though no
    // click of theirs caused it. False when there is no icon to show it from yet. A request that
    // the shell answers as failed counts as made: like an add, it may have timed out and taken
    // effect all the same, and made again it would show the balloon twice. The texts are cut to
    // the shell's limits.
    bool ShowBalloon(std::u16string_view title, std::u16string_view text);

    const NOTIFYICONDATAA& IconRecord() const { return iconRecord_; }
    bool Added() const { return added_ != FALSE; }
    bool ReAddPending() const { return reAddPending_ != FALSE; }
    const PresenceNotices& Presence() const { return presence_; }

    // The number that the shell's "TaskbarCreated" broadcast has in this session.
    static UINT TaskbarCreatedMessage();

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // One try: modify an icon that is there already, else add it. On success nothing is
    // pending any more and the timed tries stop.
    bool AddIcon();
    void OnRetryTimer();
    // wParam is the icon's id, the low word of lParam the mouse message. Returns 0 for another
    // icon or a menu that cannot be loaded, else 1.
    LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    LRESULT ShowMenu();
    LRESULT RunDefaultItem();

    ShellNotifyCall shell_;
    IconRetrySchedule retries_;
    UINT triesLeft_ = 0;
    NOTIFYICONDATAA iconRecord_;
    BOOL added_;
    BOOL reAddPending_;       // the icon is wanted but not in the notification area
    UINT defaultItem_;        // shown in bold and run by a double click
    BOOL defaultByPosition_;  // defaultItem_ is a position in the menu, not a command id
    PresenceNotices presence_;
};
