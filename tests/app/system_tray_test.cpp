// The tray window under Wine: what reaches the application thread for each message, the icon
// record, and the add, re-add and removal of the icon. Whether the shell accepts the icon is
// Wine's business; the tests that need an icon in the notification area skip without one.
#include "app/system_tray_win.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

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

TEST_F(SystemTrayTest, TheTaskbarsReturnLeavesAnIconThatWasNotThereAway) {
    tray_.Remove();
    EXPECT_FALSE(tray_.Added());
    EXPECT_EQ(tray_.IconRecord().uFlags, 0u);

    EXPECT_EQ(Send(CSystemTray::TaskbarCreatedMessage(), 0, 0), 0);
    EXPECT_FALSE(tray_.Added());
    EXPECT_TRUE(tray_.ReAddPending());
    EXPECT_EQ(tray_.IconRecord().uFlags, 0u);
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

}  // namespace
