#include "app/system_tray_win.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "app/thread_messages_win.h"
#include "framework/program_instance_win.h"
#include "framework/win_app_win.h"
#include "resources/resource_ids.h"

namespace {

constexpr UINT kIconFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr char kTooltip[] = "Orbiscape";
// The system's version 4 brought the notification area.
constexpr DWORD kFirstVersionWithTray = 4;

// The popup menu resource, loaded for one use and destroyed with its submenus at the end.
class LoadedMenu {
  public:
    explicit LoadedMenu(UINT id) : menu_(LoadMenuA(ProgramInstance(), MAKEINTRESOURCEA(id))) {}
    ~LoadedMenu() {
        if (menu_ != nullptr) {
            DestroyMenu(menu_);
        }
    }
    LoadedMenu(const LoadedMenu&) = delete;
    LoadedMenu& operator=(const LoadedMenu&) = delete;

    // The first submenu, the one the tray shows; nullptr when the menu could not be loaded or
    // has none. It belongs to the loaded menu.
    HMENU FirstSubmenu() const { return menu_ != nullptr ? GetSubMenu(menu_, 0) : nullptr; }

  private:
    HMENU menu_;
};

// Commands go to the thread that runs the application; there is none before the application
// object exists, and none after it has gone.
void PostToApplicationThread(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const CWinApp* app = CurrentApp()) {
        PostThreadMessageA(app->ThreadId(), message, wParam, lParam);
    }
}

}  // namespace

CSystemTray::CSystemTray(ShellNotifyCall shell, IconRetrySchedule retries, SessionNoticeCall sessionNotices)
    : shell_(std::move(shell)),
      retries_(retries),
      added_(FALSE),
      reAddPending_(FALSE),
      defaultItem_(0),
      defaultByPosition_(TRUE),
      presence_(std::move(sessionNotices), retries.intervalMs, retries.tries) {
    std::memset(&iconRecord_, 0, sizeof(iconRecord_));
    TaskbarCreatedMessage();
}

CSystemTray::~CSystemTray() {
    Destroy();
}

UINT CSystemTray::TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

bool CSystemTray::Create(HICON icon) {
    if (GetSafeHwnd() != nullptr) {
        return false;
    }
    if (LOBYTE(LOWORD(GetVersion())) < kFirstVersionWithTray) {
        added_ = FALSE;
        return false;
    }
    if (!CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) {
        added_ = FALSE;
        return false;
    }
    presence_.Register(GetSafeHwnd());
    // The layout with the 128-character tooltip, which every shell since version 5 takes; the
    // later members are neither filled nor needed.
    iconRecord_.cbSize = NOTIFYICONDATAA_V2_SIZE;
    iconRecord_.hWnd = GetSafeHwnd();
    iconRecord_.uID = IDR_TRAY_MENU;
    iconRecord_.uFlags = kIconFlags;
    iconRecord_.uCallbackMessage = kTrayCallbackMessage;
    iconRecord_.hIcon = icon;
    std::strncpy(iconRecord_.szTip, kTooltip, sizeof(iconRecord_.szTip) - 1);
    reAddPending_ = TRUE;
    ReAdd();
    return added_ != FALSE;
}

void CSystemTray::Remove() {
    reAddPending_ = FALSE;
    KillTimer(kIconRetryTimerId);
    if (!added_) {
        return;
    }
    iconRecord_.uFlags = 0;
    shell_(NIM_DELETE, &iconRecord_);
    added_ = FALSE;
}

void CSystemTray::ReAdd() {
    if (!reAddPending_ || AddIcon()) {
        return;
    }
    triesLeft_ = retries_.tries;
    if (triesLeft_ > 0) {
        SetTimer(kIconRetryTimerId, retries_.intervalMs);
    }
}

bool CSystemTray::AddIcon() {
    iconRecord_.uFlags = kIconFlags;
    added_ = shell_(NIM_MODIFY, &iconRecord_) || shell_(NIM_ADD, &iconRecord_);
    if (added_) {
        reAddPending_ = FALSE;
        KillTimer(kIconRetryTimerId);
    }
    return added_ != FALSE;
}

void CSystemTray::OnRetryTimer() {
    if (!reAddPending_ || AddIcon()) {
        KillTimer(kIconRetryTimerId);
        return;
    }
    if (--triesLeft_ == 0) {
        // Given up until the taskbar announces itself again.
        KillTimer(kIconRetryTimerId);
    }
}

void CSystemTray::Destroy() {
    Remove();
    presence_.Unregister();
    if (GetSafeHwnd() != nullptr) {
        DestroyWindow();
    }
}

bool CSystemTray::ShowBalloon(std::u16string_view title, std::u16string_view text) {
    if (!added_) {
        return false;
    }
    // The wide record, so that a folder named in any script reads as it is named; the shell
    // knows the icon by its window and id, whichever record added it.
    NOTIFYICONDATAW balloon = {};
    balloon.cbSize = NOTIFYICONDATAW_V2_SIZE;
    balloon.hWnd = iconRecord_.hWnd;
    balloon.uID = iconRecord_.uID;
    balloon.uFlags = NIF_INFO;
    balloon.dwInfoFlags = NIIF_WARNING;
    const auto copy = [](std::u16string_view from, wchar_t* to, std::size_t capacity) {
        const std::size_t length = std::min(from.size(), capacity - 1);
        std::copy_n(from.begin(), length, to);
        to[length] = L'\0';
    };
    copy(title, balloon.szInfoTitle, std::size(balloon.szInfoTitle));
    copy(text, balloon.szInfo, std::size(balloon.szInfo));
    Shell_NotifyIconW(NIM_MODIFY, &balloon);
    return true;
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kTrayCallbackMessage) {
        return OnTrayNotification(wParam, lParam);
    }
    if (message == WM_COMMAND) {
        PostToApplicationThread(WM_COMMAND, wParam, lParam);
        return 0;
    }
    // A new display size is handled as a settings change: the application compares the
    // virtual screen's size with the picture's.
    if (message == WM_SETTINGCHANGE || message == WM_DISPLAYCHANGE) {
        PostToApplicationThread(UM_SETTINGCHANGE, wParam, lParam);
        return 0;
    }
    if (const std::optional<PresenceNotice> notice = PresenceNoticeOf(message, wParam, lParam)) {
        PostToApplicationThread(UM_PRESENCE, static_cast<WPARAM>(notice->source), notice->value);
        return message == WM_POWERBROADCAST ? TRUE : 0;
    }
    if (message == WM_POWERBROADCAST) {
        if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
            PostToApplicationThread(UM_RESUME, wParam, 0);
        }
        return TRUE;
    }
    if (message == WM_TIMER && wParam == kIconRetryTimerId) {
        OnRetryTimer();
        return 0;
    }
    if (message == WM_TIMER && wParam == kSessionNoticeRetryTimerId) {
        presence_.OnRetryTimer();
        return 0;
    }
    if (message == TaskbarCreatedMessage()) {
        // The new taskbar has none of the old icons. An icon that the program no longer
        // wants (removed at its end) stays away.
        if (added_ || reAddPending_) {
            added_ = FALSE;
            reAddPending_ = TRUE;
            ReAdd();
        }
        return 0;
    }
    return DefaultProc(message, wParam, lParam);
}

LRESULT CSystemTray::OnTrayNotification(WPARAM wParam, LPARAM lParam) {
    if (wParam != iconRecord_.uID) {
        return 0;
    }
    switch (LOWORD(lParam)) {
        case WM_RBUTTONUP:
            return ShowMenu();
        case WM_LBUTTONDBLCLK:
            return RunDefaultItem();
        default:
            return 1;
    }
}

LRESULT CSystemTray::ShowMenu() {
    const LoadedMenu menu(iconRecord_.uID);
    const HMENU submenu = menu.FirstSubmenu();
    if (submenu == nullptr) {
        return 0;
    }
    SetMenuDefaultItem(submenu, defaultItem_, defaultByPosition_);
    POINT cursor = {};
    GetCursorPos(&cursor);
    // A popup menu closes on a click elsewhere only while its owner is the foreground window;
    // the tray's window is hidden, so it has to be made the foreground window first.
    SetForegroundWindow(GetSafeHwnd());
    TrackPopupMenu(submenu, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, GetSafeHwnd(), nullptr);
    // Makes the switch of foreground window complete, or the menu would not open a second time
    // until some other message had reached the window.
    PostMessage(WM_NULL);
    return 1;
}

LRESULT CSystemTray::RunDefaultItem() {
    const LoadedMenu menu(iconRecord_.uID);
    const HMENU submenu = menu.FirstSubmenu();
    if (submenu == nullptr) {
        return 0;
    }
    PostToApplicationThread(WM_COMMAND, GetMenuItemID(submenu, static_cast<int>(defaultItem_)), 0);
    return 1;
}
