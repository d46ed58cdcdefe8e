// Thread messages and thread timers while a modal loop that the program does not own is open on
// the thread: a message box's and a popup menu's.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <vector>

#include "framework/thread_message_filter_win.h"
#include "framework/wnd_win.h"
#include "modal_loop_support_win.h"

namespace {

struct Handled {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool insideModalLoop;
    bool operator==(const Handled&) const = default;
};

void PrintTo(const Handled& handled, std::ostream* out) {
    *out << "message " << handled.message << " (" << handled.wParam << ", " << handled.lParam << ") "
         << (handled.insideModalLoop ? "inside" : "outside") << " the modal loop";
}

class ModalLoopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DrainThreadQueue();
        ASSERT_TRUE(menuOwner_.CreateEx(0, "modal loop test", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    }
    void TearDown() override { DrainThreadQueue(); }

    // Maps a handler that records the message and then ends the modal loop it runs in.
    void MapRecordingHandler(UINT message, void (*endModalLoop)()) {
        map_.Map(message, [this, message, endModalLoop](WPARAM wParam, LPARAM lParam) {
            handled_.push_back({message, wParam, lParam, insideModalLoop_});
            endModalLoop();
        });
    }

    void RunMessageBox() {
        insideModalLoop_ = true;
        MessageBoxA(nullptr, "A modal loop of the system's", "Orbiscape test", MB_OK);
        insideModalLoop_ = false;
    }

    void RunMenu() {
        insideModalLoop_ = true;
        TrackTestMenu(menuOwner_.GetSafeHwnd());
        insideModalLoop_ = false;
    }

    const DWORD thread_ = GetCurrentThreadId();
    ThreadMessageMap map_;
    CWnd menuOwner_;
    bool insideModalLoop_ = false;
    std::vector<Handled> handled_;
};

void EndMenuOfThisThread() {
    EndMenu();
}

TEST_F(ModalLoopTest, AThreadMessagePostedWhileAMessageBoxIsOpenIsHandledInsideIt) {
    MapRecordingHandler(WM_COMMAND, &CloseMessageBoxOfThisThread);
    const ThreadMessageFilter filter(map_);
    ASSERT_TRUE(filter.IsInstalled());
    const ModalWatchdog watchdog(thread_);
    const WhenWindowAppears poster(thread_, kDialogClass,
                                   [this](HWND) { PostThreadMessageA(thread_, WM_COMMAND, 103, 0); });

    RunMessageBox();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_THAT(handled_, ::testing::ElementsAre(Handled{WM_COMMAND, 103, 0, true}));
}

TEST_F(ModalLoopTest, AThreadMessagePostedWhileAMenuIsOpenIsHandledInsideIt) {
    MapRecordingHandler(WM_USER, &EndMenuOfThisThread);
    const ThreadMessageFilter filter(map_);
    const ModalWatchdog watchdog(thread_);
    const WhenWindowAppears poster(thread_, kMenuClass,
                                   [this](HWND) { PostThreadMessageA(thread_, WM_USER, 0x1A, -5); });

    RunMenu();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_THAT(handled_, ::testing::ElementsAre(Handled{WM_USER, 0x1A, -5, true}));
}

// The menu loop leaves a message in the queue while its filter hook runs; a handler run there
// that opened a message box would meet its own message again in the box's loop.
TEST_F(ModalLoopTest, AHandlerThatOpensAMessageBoxInsideAMenuRunsOnce) {
    int calls = 0;
    bool boxClosed = false;
    map_.Map(WM_COMMAND, [&](WPARAM, LPARAM) {
        ++calls;
        const WhenWindowAppears closer(thread_, kDialogClass,
                                       [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
        MessageBoxA(nullptr, "Opened from a menu", "Orbiscape test", MB_OK);
        boxClosed = closer.Ran();
        EndMenu();
    });
    const ThreadMessageFilter filter(map_);
    const ModalWatchdog watchdog(thread_);
    const WhenWindowAppears poster(thread_, kMenuClass,
                                   [this](HWND) { PostThreadMessageA(thread_, WM_COMMAND, 32772, 0); });

    RunMenu();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(boxClosed);
}

TEST_F(ModalLoopTest, AThrowingHandlerInsideAModalLoopLeavesTheLoopRunning) {
    map_.Map(WM_COMMAND, [](WPARAM, LPARAM) { throw std::runtime_error("command failed"); });
    MapRecordingHandler(WM_USER, &CloseMessageBoxOfThisThread);
    const ThreadMessageFilter filter(map_);
    const ModalWatchdog watchdog(thread_);
    const WhenWindowAppears poster(thread_, kDialogClass, [this](HWND) {
        PostThreadMessageA(thread_, WM_COMMAND, 1, 0);
        PostThreadMessageA(thread_, WM_USER, 2, 0);
    });

    RunMessageBox();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_THAT(handled_, ::testing::ElementsAre(Handled{WM_USER, 2, 0, true}));
}

TEST_F(ModalLoopTest, NothingIsTakenFromModalLoopsOnceTheFilterHasEnded) {
    int calls = 0;
    map_.Map(WM_COMMAND, [&](WPARAM, LPARAM) { ++calls; });
    { const ThreadMessageFilter filter(map_); }
    const ModalWatchdog watchdog(thread_);
    // Posted messages arrive in order: had the hook stayed, the command would run before the box
    // closes.
    const WhenWindowAppears poster(thread_, kDialogClass, [this](HWND box) {
        PostThreadMessageA(thread_, WM_COMMAND, 1, 0);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });

    RunMessageBox();

    EXPECT_FALSE(watchdog.Fired());
    EXPECT_EQ(calls, 0);
}

// Timer procedures cannot carry a context, so the timer tests share this.
struct TimerProbe {
    bool* insideModalLoop = nullptr;
    void (*endModalLoop)() = nullptr;
    int firings = 0;
    bool firedInside = false;
};
TimerProbe timerProbe;

void CALLBACK ProbeTimerProc(HWND, UINT, UINT_PTR timerId, DWORD) {
    KillTimer(nullptr, timerId);
    ++timerProbe.firings;
    timerProbe.firedInside = *timerProbe.insideModalLoop;
    timerProbe.endModalLoop();
}

// WM_TIMER of a thread timer is a thread message too, and one that the map does not handle: the
// filter has to leave it to the loop, whose DispatchMessage runs the timer procedure.
TEST_F(ModalLoopTest, AThreadTimerFiresInsideAMessageBoxAndInsideAMenu) {
    map_.Map(WM_COMMAND, [](WPARAM, LPARAM) {});
    const ThreadMessageFilter filter(map_);
    const ModalWatchdog watchdog(thread_);

    timerProbe = {&insideModalLoop_, &CloseMessageBoxOfThisThread};
    ASSERT_NE(SetTimer(nullptr, 0, 50, &ProbeTimerProc), 0u);
    RunMessageBox();
    EXPECT_EQ(timerProbe.firings, 1);
    EXPECT_TRUE(timerProbe.firedInside);

    timerProbe = {&insideModalLoop_, &EndMenuOfThisThread};
    ASSERT_NE(SetTimer(nullptr, 0, 50, &ProbeTimerProc), 0u);
    RunMenu();
    EXPECT_EQ(timerProbe.firings, 1);
    EXPECT_TRUE(timerProbe.firedInside);

    EXPECT_FALSE(watchdog.Fired());
}

}  // namespace
