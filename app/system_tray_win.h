// CSystemTray: the program's icon in the notification area and the hidden window behind it.
// The tray does no work of its own. Every menu choice reaches its window as WM_COMMAND and goes
// on, unchanged, to the application thread as a thread command; the system's settings-change
// broadcast goes on as UM_SETTINGCHANGE. The application thread does the rest.
//
// The window belongs to the application thread, so a command posted from inside the popup
// menu's loop runs only after TrackPopupMenu has returned. When the shell restarts it broadcasts
// "TaskbarCreated", and the tray adds its icon again, provided the first add succeeded.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string_view>

#include "framework/wnd_win.h"

// The mouse events of the icon arrive at the tray's window as this message.
inline constexpr UINT kTrayCallbackMessage = WM_USER + 10;

class CSystemTray : public CWnd {
  public:
    // The record cleared, nothing added; registers "TaskbarCreated" if no tray has done so yet.
    CSystemTray();
    // Destroy.
    ~CSystemTray() override;

    // Makes the hidden window and adds the icon with the tooltip "Orbiscape". Returns whether the
    // icon was added. Refused (false, no window) on systems before version 4, which have no
    // notification area, and when the tray holds a window already.
    bool Create(HICON icon);
    // Takes the icon out of the notification area, if it is there.
    void Remove();
    // Adds the icon again after the taskbar was recreated, if it had been added and a re-add is
    // pending.
    void ReAdd();
    // Remove, then destroy the hidden window.
    void Destroy();
    // Shows a warning balloon from the icon, for something the user should hear of though no
    // click of theirs caused it. False when there is no icon to show it from, or the shell
    // refused; the texts are cut to the shell's limits.
    bool ShowBalloon(std::u16string_view title, std::u16string_view text);

    const NOTIFYICONDATAA& IconRecord() const { return iconRecord_; }
    bool Added() const { return added_ != FALSE; }
    bool ReAddPending() const { return reAddPending_ != FALSE; }

    // The number that the shell's "TaskbarCreated" broadcast has in this session.
    static UINT TaskbarCreatedMessage();

  protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    // wParam is the icon's id, the low word of lParam the mouse message. Returns 0 for another
    // icon or a menu that cannot be loaded, else 1.
    LRESULT OnTrayNotification(WPARAM wParam, LPARAM lParam);
    LRESULT ShowMenu();
    LRESULT RunDefaultItem();

    NOTIFYICONDATAA iconRecord_;
    BOOL added_;
    BOOL reAddPending_;
    UINT defaultItem_;        // shown in bold and run by a double click
    BOOL defaultByPosition_;  // defaultItem_ is a position in the menu, not a command id
};
