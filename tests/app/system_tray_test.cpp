// The tray window under Wine: what reaches the application thread for each message (the system's
// broadcasts and notices included), the icon record, and the add, re-add and removal of the icon.
// Whether Wine's shell accepts the icon is its business; the tests that need an icon in the
// notification area skip without one. The tries to add a refused icon run against a stand-in
// shell, and the tries to register for session changes against a stand-in session service.
#include "app/system_tray_win.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>

#include "app/presence_notices_win.h"
#include "app/thread_messages_win.h"
#include "app_test_support_win.h"
#include "framework/win_app_win.h"
#include "resources/resource_ids.h"
#include "tests/framework/modal_loop_support_win.h"

namespace {

bool AllBytesZero(const void* start, std::size_t size) {
    const auto* bytes = static_cast<const unsigned char*>(start);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

class SystemTrayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DrainThreadQueue();
        icon_ = LoadIconA(nullptr, IDI_APPLICATION);
        added_ = tray_.Create(icon_);
        ASSERT_NE(tray_.GetSafeHwnd(), nullptr);
    }
    void TearDown() override {
        tray_.Destroy();
        DrainThreadQueue();
    }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessageA(tray_.GetSafeHwnd(), message, wParam, lParam);
    }
    LRESULT SendMouseEvent(UINT mouseMessage, WPARAM iconId = IDR_TRAY_MENU) {
        return Send(kTrayCallbackMessage, iconId, mouseMessage);
    }

    CWinApp app_;  // the thread that the tray posts to
    CSystemTray tray_;
    HICON icon_ = nullptr;
    bool added_ = false;
};

TEST_F(SystemTrayTest, TheIconRecordDescribesTheIconWithItsTooltip) {
    const NOTIFYICONDATAA& record = tray_.IconRecord();
    // The layout that ends after the 128-character tooltip and the balloon fields: 488 bytes in
    // a 32-bit program, 504 in a 64-bit one.
    EXPECT_EQ(record.cbSize, static_cast<DWORD>(NOTIFYICONDATAA_V2_SIZE));
    EXPECT_EQ(record.cbSize, sizeof(void*) == 8 ? 504u : 488u);
    EXPECT_EQ(record.hWnd, tray_.GetSafeHwnd());
    EXPECT_EQ(record.uID, 104u);
    EXPECT_EQ(record.uFlags, 7u);
    EXPECT_EQ(record.uCallbackMessage, 1034u);
    EXPECT_EQ(record.hIcon, icon_);
    EXPECT_EQ(std::string(record.szTip), "Orbiscape");
    EXPECT_TRUE(AllBytesZero(record.szTip + 9, sizeof(record.szTip) - 9));
    EXPECT_TRUE(AllBytesZero(&record.dwState, sizeof(NOTIFYICONDATAA) - offsetof(NOTIFYICONDATAA, dwState)));
    EXPECT_EQ(tray_.Added(), added_);
    EXPECT_FALSE(tray_.ReAddPending());
}

TEST_F(SystemTrayTest, ASecondCreateIsRefusedAndChangesNothing) {
    const HWND window = tray_.GetSafeHwnd();
    EXPECT_FALSE(tray_.Create(icon_));
    EXPECT_EQ(tray_.GetSafeHwnd(), window);
    EXPECT_EQ(tray_.Added(), added_);
}

TEST_F(SystemTrayTest, CommandsGoOnToTheApplicationThreadUnchanged) {
    EXPECT_EQ(Send(WM_COMMAND, ID_APP_EXIT, 1234), 0);
    EXPECT_EQ(Send(WM_COMMAND, MAKEWPARAM(ID_OPTIONS, 1), -5), 0);

    const auto exit = NextThreadMessage();
    ASSERT_TRUE(exit.has_value());
    EXPECT_EQ(exit->message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(exit->wParam, static_cast<WPARAM>(ID_APP_EXIT));
    EXPECT_EQ(exit->lParam, 1234);
    const auto options = NextThreadMessage();
    ASSERT_TRUE(options.has_value());
    EXPECT_EQ(options->wParam, MAKEWPARAM(ID_OPTIONS, 1));
    EXPECT_EQ(options->lParam, -5);
    EXPECT_FALSE(NextThreadMessage().has_value());
}

TEST_F(SystemTrayTest, ASettingsChangeBecomesTheSettingsChangeNoticeWithTheSameParameters) {
    static const char section[] = "intl";
    EXPECT_EQ(Send(WM_SETTINGCHANGE, SPI_SETWORKAREA, reinterpret_cast<LPARAM>(section)), 0);

    const auto notice = NextThreadMessage();
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->message, UM_SETTINGCHANGE);
    EXPECT_EQ(notice->message, static_cast<UINT>(WM_USER));
    EXPECT_EQ(notice->wParam, static_cast<WPARAM>(SPI_SETWORKAREA));
    EXPECT_EQ(notice->lParam, reinterpret_cast<LPARAM>(section));
}

TEST_F(SystemTrayTest, DisplayChangesAndWakesReachTheApplicationThreadEvenAsBroadcasts) {
    // Broadcasts reach top-level windows only, never message-only ones.
    EXPECT_EQ(GetAncestor(tray_.GetSafeHwnd(), GA_PARENT), GetDesktopWindow());

    EXPECT_EQ(Send(WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768)), 0);
    const auto displayChange = NextThreadMessage();
    ASSERT_TRUE(displayChange.has_value());
    EXPECT_EQ(displayChange->message, UM_SETTINGCHANGE);
    EXPECT_EQ(displayChange->wParam, 32u);
    EXPECT_EQ(displayChange->lParam, MAKELPARAM(1024, 768));

    // Suspending and the other power events are not the tray's business; both wake events are.
    for (const WPARAM ignored : {PBT_APMSUSPEND, PBT_APMPOWERSTATUSCHANGE, PBT_POWERSETTINGCHANGE}) {
        EXPECT_EQ(Send(WM_POWERBROADCAST, ignored, 0), TRUE);
    }
    EXPECT_FALSE(NextThreadMessage().has_value());
    for (const WPARAM wake : {PBT_APMRESUMEAUTOMATIC, PBT_APMRESUMESUSPEND}) {
        DWORD_PTR answer = 0;
        ASSERT_NE(
            SendMessageTimeoutA(HWND_BROADCAST, WM_POWERBROADCAST, wake, 0, SMTO_ABORTIFHUNG, 5000, &answer),
            0);
        const auto resume = NextThreadMessage();
        ASSERT_TRUE(resume.has_value()) << "event " << wake;
        EXPECT_EQ(resume->message, UM_RESUME);
        EXPECT_EQ(resume->wParam, wake);
        EXPECT_EQ(resume->lParam, 0);
        EXPECT_FALSE(NextThreadMessage().has_value());
    }
}

TEST_F(SystemTrayTest, TheNoticesOfWhoCanSeeTheDesktopGoOnWithTheirValues) {
    struct Case {
        const GUID* setting;
        PresenceSource source;
        DWORD value;
    };
    for (const Case& c : {Case{&kSessionDisplayStatus, PresenceSource::kDisplay, 2},
                          Case{&kMonitorPowerOn, PresenceSource::kDisplay, 0},
                          Case{&kPowerSavingStatus, PresenceSource::kBatterySaver, 1},
                          Case{&kEnergySaverStatus, PresenceSource::kEnergySaver, 2}}) {
        EXPECT_EQ(SendPowerSettingChange(tray_.GetSafeHwnd(), *c.setting, c.value), TRUE);
        const auto notice = NextThreadMessage();
        ASSERT_TRUE(notice.has_value()) << static_cast<int>(c.source);
        EXPECT_EQ(notice->message, UM_PRESENCE);
        EXPECT_EQ(notice->wParam, static_cast<WPARAM>(c.source));
        EXPECT_EQ(notice->lParam, static_cast<LPARAM>(c.value));
    }
    // Another setting, and a record too short for its value, tell nothing.
    constexpr GUID kAcDcPowerSource = {
        0x5D3E9A59, 0xE9D5, 0x4B00, {0xA6, 0xBD, 0xFF, 0x34, 0xFF, 0x51, 0x65, 0x48}};
    EXPECT_EQ(SendPowerSettingChange(tray_.GetSafeHwnd(), kAcDcPowerSource, 1), TRUE);
    EXPECT_EQ(SendPowerSettingChange(tray_.GetSafeHwnd(), kSessionDisplayStatus, 0, 1), TRUE);
    EXPECT_FALSE(NextThreadMessage().has_value());

    EXPECT_EQ(Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK, 3), 0);
    const auto lock = NextThreadMessage();
    ASSERT_TRUE(lock.has_value());
    EXPECT_EQ(lock->message, UM_PRESENCE);
    EXPECT_EQ(lock->wParam, static_cast<WPARAM>(PresenceSource::kSession));
    EXPECT_EQ(lock->lParam, WTS_SESSION_LOCK);
    EXPECT_TRUE(tray_.Presence().SessionRegistered()) << "Wine's session service takes every window";
}

TEST_F(SystemTrayTest, ADoubleClickPostsTheMenusDefaultCommand) {
    EXPECT_EQ(SendMouseEvent(WM_LBUTTONDBLCLK), 1);

    const auto command = NextThreadMessage();
    ASSERT_TRUE(command.has_value());
    EXPECT_EQ(command->message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(command->wParam, static_cast<WPARAM>(ID_OPTIONS));
    EXPECT_EQ(command->lParam, 0);
    EXPECT_FALSE(NextThreadMessage().has_value());
}

TEST_F(SystemTrayTest, OtherMouseEventsDoNothing) {
    for (const UINT mouseMessage : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN,
                                    WM_MBUTTONDOWN, WM_MBUTTONUP, WM_RBUTTONDBLCLK}) {
        EXPECT_EQ(SendMouseEvent(mouseMessage), 1) << "mouse message " << mouseMessage;
    }
    EXPECT_FALSE(NextThreadMessage().has_value());
    EXPECT_EQ(FindThreadWindow(GetCurrentThreadId(), kMenuClass), nullptr);
}

TEST_F(SystemTrayTest, EventsOfAnotherIconAreNotTheTraysBusiness) {
    EXPECT_EQ(SendMouseEvent(WM_LBUTTONDBLCLK, IDR_TRAY_MENU + 1), 0);
    EXPECT_EQ(SendMouseEvent(WM_RBUTTONUP, 0), 0);
    EXPECT_FALSE(NextThreadMessage().has_value());
}

TEST_F(SystemTrayTest, ARightClickShowsTheMenuWithOptionsInBoldAndADismissedMenuPostsNothing) {
    const ModalWatchdog watchdog(GetCurrentThreadId());
    UINT defaultItem = static_cast<UINT>(-2);
    std::string firstItem;
    const WhenWindowAppears whenMenuOpens(GetCurrentThreadId(), kMenuClass, [&](HWND menuWindow) {
        const auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
        defaultItem = GetMenuDefaultItem(menu, TRUE, 0);
        char text[64] = {};
        GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
        firstItem = text;
        PostMessageA(menuWindow, WM_CANCELMODE, 0, 0);
    });

    EXPECT_EQ(SendMouseEvent(WM_RBUTTONUP), 1);

    EXPECT_TRUE(whenMenuOpens.Ran());
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(defaultItem, 0u);
    EXPECT_EQ(firstItem, "&Options...");
    EXPECT_FALSE(NextThreadMessage().has_value());
}

TEST_F(SystemTrayTest, TheTaskbarsReturnBringsBackAnIconThatWasThere) {
    if (!added_) {
        GTEST_SKIP() << "the shell took no icon";
    }
    EXPECT_EQ(Send(CSystemTray::TaskbarCreatedMessage(), 0, 0), 0);
    EXPECT_TRUE(tray_.Added());
    EXPECT_FALSE(tray_.ReAddPending());
    EXPECT_EQ(tray_.IconRecord().uFlags, 7u);
}

TEST_F(SystemTrayTest, TheTaskbarsReturnLeavesARemovedIconAway) {
    tray_.Remove();
    EXPECT_FALSE(tray_.Added());
    EXPECT_FALSE(tray_.ReAddPending());
    EXPECT_EQ(tray_.IconRecord().uFlags, added_ ? 0u : 7u);

    EXPECT_EQ(Send(CSystemTray::TaskbarCreatedMessage(), 0, 0), 0);
    EXPECT_FALSE(tray_.Added());
    EXPECT_FALSE(tray_.ReAddPending());
}

TEST_F(SystemTrayTest, DestroyTakesTheIconAwayAndThenTheWindow) {
    const HWND window = tray_.GetSafeHwnd();
    tray_.Destroy();
    EXPECT_FALSE(tray_.Added());
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(tray_.GetSafeHwnd(), nullptr);
    // A second time, as at the program's end after an earlier Destroy, does nothing.
    tray_.Destroy();
}

// A shell whose notification area is not ready yet, as at a login: it refuses the first adds.
// A refused add may have taken effect all the same (the call timed out), and this shell shows a
// second icon for a second add of the same icon, so a tray that adds blindly would show two.
class StartingShell {
  public:
    StartingShell(int refusals, bool refusedAddsTakeEffect)
        : refusalsLeft_(refusals), refusedAddsTakeEffect_(refusedAddsTakeEffect) {}

    ShellNotifyCall Call() {
        return [this](DWORD message, NOTIFYICONDATAA* record) { return Notify(message, *record); };
    }
    void Refuse(int refusals) { refusalsLeft_ = refusals; }
    // The shell restarted: the new taskbar has no icons.
    void Restart() { icons_ = 0; }

    int Adds() const { return adds_; }
    int Icons() const { return icons_; }

  private:
    BOOL Notify(DWORD message, const NOTIFYICONDATAA& record) {
        EXPECT_EQ(record.uID, 104u);
        switch (message) {
            case NIM_ADD:
                ++adds_;
                EXPECT_EQ(record.uFlags, 7u);
                if (refusalsLeft_ > 0) {
                    --refusalsLeft_;
                    icons_ += refusedAddsTakeEffect_ ? 1 : 0;
                    return FALSE;
                }
                ++icons_;
                return TRUE;
            case NIM_MODIFY:
                return icons_ > 0;
            case NIM_DELETE:
                icons_ = 0;
                return TRUE;
            default:
                return FALSE;
        }
    }

    int refusalsLeft_;
    bool refusedAddsTakeEffect_;
    int adds_ = 0;
    int icons_ = 0;
};

// Dispatches the thread's messages (the tray's timer among them) until the condition holds.
bool PumpUntil(const std::function<bool()>& condition) {
    return WaitUntil(
        [&] {
            NextThreadMessage();
            return condition();
        },
        std::chrono::seconds(10));
}

constexpr IconRetrySchedule kQuickRetries = {20, 5};

bool RetryTimerRuns(const CSystemTray& tray) {
    // Killing a running timer succeeds; the tests look only once it should have stopped.
    return KillTimer(tray.GetSafeHwnd(), kIconRetryTimerId) != FALSE;
}

TEST(SystemTrayRetryTest, ARefusedIconIsTriedAgainUntilTheShellShowsItOnce) {
    CWinApp app;
    const HICON icon = LoadIconA(nullptr, IDI_APPLICATION);
    struct Case {
        int refusals;
        bool refusedAddsTakeEffect;
        int expectedAdds;
    };
    // Three plain refusals; and two adds that timed out, of which the first took effect, so the
    // icon is found by the next try and never added again.
    for (const Case& c : {Case{3, false, 4}, Case{2, true, 1}}) {
        StartingShell shell(c.refusals, c.refusedAddsTakeEffect);
        CSystemTray tray(shell.Call(), kQuickRetries);
        EXPECT_FALSE(tray.Create(icon));
        EXPECT_TRUE(tray.ReAddPending());

        EXPECT_TRUE(PumpUntil([&] { return tray.Added(); }));
        RecordProperty(c.refusedAddsTakeEffect ? "AddsWhenTheFirstTookEffect" : "AddsAfterThreeRefusals",
                       shell.Adds());
        EXPECT_EQ(shell.Adds(), c.expectedAdds);
        EXPECT_EQ(shell.Icons(), 1);
        EXPECT_FALSE(tray.ReAddPending());
        EXPECT_FALSE(RetryTimerRuns(tray)) << "the tries stop once the icon is there";

        tray.Destroy();
        EXPECT_EQ(shell.Icons(), 0);
    }
    DrainThreadQueue();
}

TEST(SystemTrayRetryTest, ARefusedRegistrationForSessionChangesIsTriedAgainForAWhile) {
    CWinApp app;
    // A session service that is not ready yet, as at a login; and one that never is.
    for (const int refusals : {3, 1000}) {
        int tries = 0;
        HWND registered = nullptr;
        const SessionNoticeCall sessionService = [&](HWND window, DWORD flags) {
            EXPECT_EQ(flags, static_cast<DWORD>(NOTIFY_FOR_THIS_SESSION));
            if (++tries <= refusals) {
                SetLastError(RPC_S_INVALID_BINDING);
                return FALSE;
            }
            registered = window;
            return TRUE;
        };
        StartingShell shell(0, false);
        CSystemTray tray(shell.Call(), kQuickRetries, sessionService);
        EXPECT_TRUE(tray.Create(LoadIconA(nullptr, IDI_APPLICATION)));
        EXPECT_FALSE(tray.Presence().SessionRegistered());

        if (refusals == 3) {
            EXPECT_TRUE(PumpUntil([&] { return tray.Presence().SessionRegistered(); }));
            EXPECT_EQ(registered, tray.GetSafeHwnd());
            EXPECT_EQ(tries, 4);
        } else {
            // The first try and five timed ones, then no more.
            EXPECT_TRUE(PumpUntil([&] { return tries == 6; }));
        }
        EXPECT_FALSE(KillTimer(tray.GetSafeHwnd(), kSessionNoticeRetryTimerId)) << "the tries have stopped";
        tray.Destroy();
    }
    DrainThreadQueue();
}

TEST(SystemTrayRetryTest, TheTriesAreBoundedAndEveryReturnOfTheTaskbarBringsTheIconBack) {
    CWinApp app;
    StartingShell shell(1000, false);
    CSystemTray tray(shell.Call(), kQuickRetries);
    EXPECT_FALSE(tray.Create(LoadIconA(nullptr, IDI_APPLICATION)));

    // The first add and five timed tries, then nothing until the taskbar announces itself.
    EXPECT_TRUE(PumpUntil([&] { return shell.Adds() == 6; }));
    EXPECT_FALSE(RetryTimerRuns(tray));
    EXPECT_TRUE(tray.ReAddPending());
    EXPECT_FALSE(tray.Added());

    // A taskbar that is not ready either starts a new series of tries.
    SendMessageA(tray.GetSafeHwnd(), CSystemTray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return shell.Adds() == 12; }));

    shell.Refuse(0);
    SendMessageA(tray.GetSafeHwnd(), CSystemTray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(tray.Added());
    EXPECT_EQ(shell.Icons(), 1);

    // A restarted shell has lost the icon, which comes back once.
    shell.Restart();
    SendMessageA(tray.GetSafeHwnd(), CSystemTray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_TRUE(tray.Added());
    EXPECT_EQ(shell.Icons(), 1);
    EXPECT_EQ(shell.Adds(), 14);
    // The same announcement while the icon is there adds nothing.
    SendMessageA(tray.GetSafeHwnd(), CSystemTray::TaskbarCreatedMessage(), 0, 0);
    EXPECT_EQ(shell.Icons(), 1);
    EXPECT_EQ(shell.Adds(), 14);

    tray.Destroy();
    DrainThreadQueue();
}

}  // namespace
