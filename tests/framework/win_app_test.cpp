#include "framework/win_app_win.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "framework/command_line.h"
#include "framework/program_instance_win.h"
#include "framework/wnd_win.h"
#include "modal_loop_support_win.h"

namespace {

using ::testing::ElementsAre;

class TestApp : public CWinApp {
  public:
    std::function<BOOL()> start;
    int exitCalls = 0;

    BOOL InitInstance() override { return start ? start() : TRUE; }
    int ExitInstance() override {
        ++exitCalls;
        return CWinApp::ExitInstance();
    }
};

struct Command {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Command&) const = default;
};

void PrintTo(const Command& command, std::ostream* out) {
    *out << "message " << command.message << " (" << command.wParam << ", " << command.lParam << ")";
}

class WinAppTest : public ::testing::Test {
  protected:
    void SetUp() override { DrainThreadQueue(); }
    void TearDown() override { DrainThreadQueue(); }
};

TEST_F(WinAppTest, KnowsItsThreadModuleAndCommandLineAndIsTheOneCurrentApp) {
    {
        TestApp app;
        EXPECT_EQ(CurrentApp(), &app);
        EXPECT_EQ(app.ThreadId(), GetCurrentThreadId());
        EXPECT_EQ(app.Instance(), ProgramInstance());
        EXPECT_EQ(app.CommandLine(), ArgumentsAfterProgramName(GetCommandLineA()));
        EXPECT_EQ(app.MainWindow(), nullptr);

        TestApp second;
        EXPECT_EQ(CurrentApp(), &app) << "the first application object stays the program's";
    }
    EXPECT_EQ(CurrentApp(), nullptr);
}

TEST_F(WinAppTest, ClosingTheMainWindowEndsRunWithExitCodeZero) {
    TestApp app;
    CWnd sink;
    ASSERT_TRUE(sink.CreateEx(0, "OrbiscapeCommandSink", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.SetMainWindow(&sink);
    const HWND handle = sink.GetSafeHwnd();

    const RunWatchdog watchdog(app.ThreadId());
    // The way another copy of the program stops this one: find the window by its title, close it
    // and wait until that has been handled.
    std::thread closer([] { SendMessageA(FindWindowA(nullptr, "OrbiscapeCommandSink"), WM_CLOSE, 0, 0); });
    EXPECT_EQ(app.Run(), 0);
    closer.join();

    EXPECT_FALSE(IsWindow(handle));
    EXPECT_EQ(sink.GetSafeHwnd(), nullptr);
    EXPECT_EQ(app.MainWindow(), nullptr);
}

TEST_F(WinAppTest, AnyOtherWindowMayGoWithoutEndingTheProgram) {
    TestApp app;
    CWnd sink;
    CWnd other;
    ASSERT_TRUE(sink.CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    ASSERT_TRUE(other.CreateEx(0, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    app.SetMainWindow(&sink);
    other.DestroyWindow();

    MSG message;
    EXPECT_FALSE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(app.MainWindow(), &sink);
}

TEST_F(WinAppTest, AMainWindowObjectThatGoesAwayIsForgotten) {
    TestApp app;
    {
        CWnd view;
        ASSERT_TRUE(view.Attach(GetDesktopWindow()));
        app.SetMainWindow(&view);
    }
    EXPECT_EQ(app.MainWindow(), nullptr);
}

TEST_F(WinAppTest, RunApplicationReturnsTheQuitCodeThroughExitInstance) {
    TestApp app;
    app.start = [] {
        PostQuitMessage(7);
        return TRUE;
    };
    EXPECT_EQ(RunApplication(app), 7);
    EXPECT_EQ(app.exitCalls, 1);
}

TEST_F(WinAppTest, AFailedStartSkipsTheLoopButNotExitInstance) {
    TestApp app;
    int handled = 0;
    app.MapThreadMessage(WM_COMMAND, [&](WPARAM, LPARAM) { ++handled; });
    app.start = [&] {
        PostThreadMessageA(app.ThreadId(), WM_COMMAND, 1, 0);
        return FALSE;
    };
    EXPECT_EQ(RunApplication(app), 0);
    EXPECT_EQ(app.exitCalls, 1);
    EXPECT_EQ(handled, 0);

    TestApp throwing;
    throwing.start = []() -> BOOL { throw std::runtime_error("start-up failed"); };
    EXPECT_EQ(RunApplication(throwing), 0);
    EXPECT_EQ(throwing.exitCalls, 1);
}

TEST_F(WinAppTest, RunHandsThreadMessagesToTheirHandlersInOrderAndIgnoresTheRest) {
    TestApp app;
    std::vector<Command> handled;
    app.MapThreadMessage(WM_COMMAND, [&](WPARAM wParam, LPARAM lParam) {
        handled.push_back({WM_COMMAND, wParam, lParam});
        if (wParam == 57665) {
            PostQuitMessage(0);
        }
    });
    app.MapThreadMessage(WM_USER, [&](WPARAM wParam, LPARAM lParam) {
        handled.push_back({WM_USER, wParam, lParam});
    });
    app.MapThreadMessage(WM_USER + 1, [](WPARAM, LPARAM) { throw std::runtime_error("handler failed"); });

    const RunWatchdog watchdog(app.ThreadId());
    std::thread poster([&] {
        const DWORD thread = app.ThreadId();
        PostThreadMessageA(thread, WM_COMMAND, 1, 0);
        PostThreadMessageA(thread, WM_APP, 3, 3);  // mapped to nothing
        PostThreadMessageA(thread, WM_USER + 1, 0, 0);
        PostThreadMessageA(thread, WM_USER, WM_SETTINGCHANGE, 77);
        PostThreadMessageA(thread, WM_COMMAND, 57665, 0);
    });
    EXPECT_EQ(app.Run(), 0);
    poster.join();

    EXPECT_THAT(handled, ElementsAre(Command{WM_COMMAND, 1, 0}, Command{WM_USER, WM_SETTINGCHANGE, 77},
                                     Command{WM_COMMAND, 57665, 0}));
}

// Start-up may open a dialog before the loop runs (the first settings dialog does); commands
// posted meanwhile must still be handled.
TEST_F(WinAppTest, RunApplicationLetsMessageBoxesOfTheStartUpDispatchThreadMessages) {
    TestApp app;
    bool insideBox = false;
    std::vector<bool> handledInside;
    app.MapThreadMessage(WM_COMMAND, [&](WPARAM, LPARAM) {
        handledInside.push_back(insideBox);
        CloseMessageBoxOfThisThread();
    });
    const ModalWatchdog watchdog(app.ThreadId());
    app.start = [&] {
        const WhenWindowAppears poster(app.ThreadId(), kDialogClass,
                                       [&](HWND) { PostThreadMessageA(app.ThreadId(), WM_COMMAND, 1, 0); });
        insideBox = true;
        MessageBoxA(nullptr, "Start-up", "Orbiscape test", MB_OK);
        insideBox = false;
        return FALSE;
    };
    RunApplication(app);

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_THAT(handledInside, ElementsAre(true));
}

}  // namespace
