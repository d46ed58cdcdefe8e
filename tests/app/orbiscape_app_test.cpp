// The application object under Wine, unit by unit: its commands, its timers, the settings-change
// notice, the start-up sequence in a scratch directory, and the cloud download's thread handle.
// Each test starts from a removed settings key (the defaults) and an empty working directory.
#include "app/orbiscape_app_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "app/thread_messages_win.h"
#include "app_test_support_win.h"
#include "framework/thread_message_filter_win.h"
#include "image/file_io.h"
#include "render/scale_image_file.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "resources/resource_ids.h"
#include "tests/clouds/loopback_http_server_win.h"
#include "tests/framework/modal_loop_support_win.h"
#include "tests/settings/memory_settings_store.h"

namespace {

using std::chrono::milliseconds;

constexpr char kTestMutexName[] = "OrbiscapeAppTestMutex";
constexpr char kProgramMutexName[] = "OrbiscapeMutex";
constexpr milliseconds kDeadline(10000);

bool TimerIsArmed(UINT_PTR timerId) {
    // Killing a thread timer that exists succeeds once; re-arming keeps the test's view simple.
    return timerId != 0 && KillTimer(nullptr, timerId) != FALSE;
}

bool MutexExists(const char* name) {
    const HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, name);
    if (mutex == nullptr) {
        return false;
    }
    CloseHandle(mutex);
    return true;
}

bool QuitWasPosted(int* exitCode = nullptr) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        return false;
    }
    if (exitCode != nullptr) {
        *exitCode = static_cast<int>(message.wParam);
    }
    return true;
}

}  // namespace

// A friend of the application's, which reaches its timers and drawing state as only its tests
// may.
class OrbiscapeAppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        DrainThreadQueue();
        RemoveStoredSettings();
        // The built-in sources of the monthly maps are real servers, which no test may reach:
        // a download the application starts finds no source.
        noSources_.Put("SharpMapSources", SettingsValueType::MultiString, {0});
        app_.sharpMapContext_.Settings = &noSources_;
    }
    void TearDown() override {
        KillTimer(nullptr, app_.RenderTimerId);
        KillTimer(nullptr, app_.CloudTimerId);
        KillTimer(nullptr, app_.ClockCheckTimerId);
        KillTimer(nullptr, app_.SharpMapTimerId);
        app_.InstanceMutex.Reset();
        RemoveStoredSettings();
        DrainThreadQueue();
    }

    void ArmBothTimers() {
        app_.RenderTimerId = SetTimer(nullptr, 0, 600000, &COrbiscapeApp::UpdateTimerProc);
        app_.CloudTimerId = SetTimer(nullptr, 0, 600000, &COrbiscapeApp::UpdateTimerProc);
        ASSERT_NE(app_.RenderTimerId, 0u);
        ASSERT_NE(app_.CloudTimerId, 0u);
    }

    void MatchVirtualScreen() {
        app_.RenderState.Width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        app_.RenderState.Height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    }

    // Every redraw prepares the sources and then publishes the frame, which notes the frame's
    // time. The scratch directory has no pictures, so nothing else happens: the preparation
    // fails (and is tried again at the next pass) and no frame is written.
    bool SourcesWerePrepared() const { return app_.LastFrameTime != 0; }

    UINT_PTR& RenderTimerId() { return app_.RenderTimerId; }
    UINT_PTR& CloudTimerId() { return app_.CloudTimerId; }
    UINT_PTR& ClockCheckTimerId() { return app_.ClockCheckTimerId; }
    std::int64_t& LastFrameTime() { return app_.LastFrameTime; }
    WrapOrigin& ScreenOrigin() { return app_.screenOrigin_; }
    ::RenderState& State() { return app_.RenderState; }
    WorkerSlot& WorkerThread() { return app_.WorkerThread; }
    WorkerSlot& SharpMapThread() { return app_.SharpMapThread; }
    UINT_PTR& SharpMapTimerId() { return app_.SharpMapTimerId; }
    SharpMapDownloadContext& SharpMapContext() { return app_.sharpMapContext_; }
    std::uint32_t FailedSharpMapRuns() const { return app_.failedSharpMapRuns_; }
    OwnedKernelHandle& InstanceMutex() { return app_.InstanceMutex; }
    std::uint32_t RenderTimerDelay() const { return app_.renderTimerDelayMs_; }
    HWND TrayWindow() const { return app_.tray_.GetSafeHwnd(); }

    // Runs the application's messages as its loop does (thread messages to their handlers,
    // everything else, timers included, dispatched) until `done` holds (true) or the deadline
    // passes (false).
    bool RunMessagesUntil(const std::function<bool()>& done, milliseconds deadline) {
        const auto end = std::chrono::steady_clock::now() + deadline;
        for (;;) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.hwnd != nullptr ||
                    !app_.ThreadMessages().Dispatch(message.message, message.wParam, message.lParam)) {
                    DispatchMessageA(&message);
                }
            }
            if (done()) {
                return true;
            }
            if (std::chrono::steady_clock::now() >= end) {
                return false;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    WorkingFolder folder_;
    MemorySettingsStore noSources_;
    COrbiscapeApp app_;
};

namespace {

TEST_F(OrbiscapeAppTest, TheExitCommandReleasesTheMutexKillsBothTimersAndEndsTheLoop) {
    InstanceMutex().Reset(CreateMutexA(nullptr, TRUE, kTestMutexName));
    ASSERT_TRUE(InstanceMutex());
    ArmBothTimers();
    ClockCheckTimerId() = SetTimer(nullptr, 0, 600000, &COrbiscapeApp::UpdateTimerProc);
    const UINT_PTR renderTimer = RenderTimerId();
    const UINT_PTR cloudTimer = CloudTimerId();
    const UINT_PTR clockCheck = ClockCheckTimerId();

    app_.OnThreadCommand(ID_APP_EXIT, 0);

    EXPECT_FALSE(InstanceMutex());
    EXPECT_FALSE(MutexExists(kTestMutexName));
    EXPECT_EQ(RenderTimerId(), 0u);
    EXPECT_EQ(CloudTimerId(), 0u);
    EXPECT_EQ(ClockCheckTimerId(), 0u);
    EXPECT_FALSE(KillTimer(nullptr, renderTimer)) << "already killed";
    EXPECT_FALSE(KillTimer(nullptr, cloudTimer)) << "already killed";
    EXPECT_FALSE(KillTimer(nullptr, clockCheck)) << "already killed";
    int exitCode = -1;
    EXPECT_TRUE(QuitWasPosted(&exitCode));
    EXPECT_EQ(exitCode, 0);
}

TEST_F(OrbiscapeAppTest, CommandsAfterTheExitCommandAreNotCarriedOut) {
    StoreSettings([](CSettings& settings) { settings.AutoUpdateClouds = 1; });
    app_.OnThreadCommand(ID_APP_EXIT, 0);
    app_.OnThreadCommand(ID_CLOUD_UPDATE_DONE, 0);
    app_.OnThreadCommand(ID_APPLY_SETTINGS, 0);
    EXPECT_EQ(CloudTimerId(), 0u);
    EXPECT_EQ(RenderTimerId(), 0u);
    EXPECT_FALSE(SourcesWerePrepared());
}

TEST_F(OrbiscapeAppTest, UnknownCommandsAreIgnored) {
    InstanceMutex().Reset(CreateMutexA(nullptr, TRUE, kTestMutexName));
    ArmBothTimers();
    const UINT_PTR renderTimer = RenderTimerId();
    const UINT_PTR cloudTimer = CloudTimerId();

    app_.OnThreadCommand(4242, 0);
    app_.OnThreadCommand(0, 0);
    // An id with a notification code in the high word, as a control or an accelerator sends
    // it, is not the thread command.
    app_.OnThreadCommand(MAKEWPARAM(ID_APP_EXIT, 1), 0);

    EXPECT_FALSE(QuitWasPosted());
    EXPECT_TRUE(MutexExists(kTestMutexName));
    EXPECT_EQ(RenderTimerId(), renderTimer);
    EXPECT_EQ(CloudTimerId(), cloudTimer);
    EXPECT_TRUE(TimerIsArmed(renderTimer));
    EXPECT_TRUE(TimerIsArmed(cloudTimer));
    EXPECT_FALSE(SourcesWerePrepared());
}

TEST_F(OrbiscapeAppTest, TheDownloadsEndArmsOneCloudTimerInPlaceOfAnyEarlierOne) {
    StoreSettings([](CSettings& settings) { settings.AutoUpdateClouds = 1; });
    ArmBothTimers();
    const UINT_PTR earlier = CloudTimerId();

    app_.OnThreadCommand(ID_CLOUD_UPDATE_DONE, 0);

    EXPECT_NE(CloudTimerId(), 0u);
    if (CloudTimerId() != earlier) {
        EXPECT_FALSE(KillTimer(nullptr, earlier)) << "the earlier cloud timer was killed";
    }
    EXPECT_TRUE(TimerIsArmed(CloudTimerId()));
    EXPECT_FALSE(SourcesWerePrepared()) << "the end of a download does not redraw";
}

TEST_F(OrbiscapeAppTest, WithCloudUpdatesOffNoCloudTimerIsArmed) {
    StoreSettings([](CSettings& settings) { settings.AutoUpdateClouds = 0; });
    ArmBothTimers();
    const UINT_PTR earlier = CloudTimerId();

    app_.OnThreadCommand(ID_CLOUD_UPDATE_DONE, 0);

    EXPECT_EQ(CloudTimerId(), 0u);
    EXPECT_FALSE(KillTimer(nullptr, earlier));
    EXPECT_EQ(app_.ScheduleCloudTimer(), 0u);
}

TEST_F(OrbiscapeAppTest, ASettingsChangeRedrawsOnlyForANewScreenSizeOrCorner) {
    MatchVirtualScreen();
    app_.OnThreadSettingChange(SPI_SETDESKWALLPAPER, 0);
    EXPECT_FALSE(SourcesWerePrepared());
    EXPECT_FALSE(FileExists(kCurrentFrameFile));

    // Monitors rearranged: the size stays, and the corner that the wallpaper is tiled from moves.
    ScreenOrigin() = {-1280, 0};
    app_.OnThreadSettingChange(0, 0);
    EXPECT_TRUE(SourcesWerePrepared()) << "redrawn";
    LastFrameTime() = 0;
    app_.OnThreadSettingChange(0, 0);
    EXPECT_FALSE(SourcesWerePrepared()) << "once";
}

TEST_F(OrbiscapeAppTest, ANewScreenSizeIsTakenAndRedrawnInWallpaperModeOnly) {
    State().Width = 1;
    State().Height = 1;
    State().ActiveDesktop = 1;
    app_.OnThreadSettingChange(0, 0);
    EXPECT_EQ(State().Width, 1);
    EXPECT_FALSE(SourcesWerePrepared());

    State().ActiveDesktop = 0;
    app_.OnThreadSettingChange(0, 0);
    EXPECT_EQ(State().Width, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(State().Height, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_TRUE(SourcesWerePrepared());
}

TEST_F(OrbiscapeAppTest, UnconfirmedSettingsIgnoreScreenChanges) {
    StoreSettings([](CSettings& settings) { settings.CenterOn = kCenterOnUnconfirmed; });
    State().Width = 1;
    app_.OnThreadSettingChange(0, 0);
    EXPECT_EQ(State().Width, 1);
    EXPECT_FALSE(SourcesWerePrepared());
}

TEST_F(OrbiscapeAppTest, TheNoticeArrivesThroughTheThreadMessageMap) {
    MatchVirtualScreen();
    State().Width = 1;
    EXPECT_TRUE(app_.ThreadMessages().Dispatch(UM_SETTINGCHANGE, 0, 0));
    EXPECT_TRUE(SourcesWerePrepared());
    EXPECT_TRUE(app_.ThreadMessages().Handles(WM_COMMAND));
}

// The monthly map's download: a run that installed nothing is followed by a pause, a map that
// arrived for the month shown is prepared and drawn at once.
TEST_F(OrbiscapeAppTest, AMonthlyMapThatArrivesIsDrawnAndAFailedRunWaitsBeforeTheNext) {
    State().SharpMaps = 1;
    State().DaytimeImage = 5;
    SharpMapContext().Month = 5;
    app_.OnThreadCommand(ID_SHARP_MAP_DONE, 0);
    EXPECT_NE(SharpMapTimerId(), 0u) << "the pause before the next run";
    EXPECT_EQ(FailedSharpMapRuns(), 1u);
    EXPECT_FALSE(SourcesWerePrepared());

    KillTimer(nullptr, SharpMapTimerId());
    SharpMapTimerId() = 0;
    SharpMapContext().LastRunInstalled = true;
    // Installed: no further run, since the month's map is there now.
    ASSERT_TRUE(ReplaceFileContents(SharpMapFile(5).c_str(), {}));
    app_.OnThreadCommand(ID_SHARP_MAP_DONE, 0);
    EXPECT_TRUE(SourcesWerePrepared());
    EXPECT_EQ(FailedSharpMapRuns(), 0u);
    EXPECT_EQ(SharpMapTimerId(), 0u);
    EXPECT_EQ(SharpMapThread().load(), INVALID_HANDLE_VALUE);

    // While nobody can see the desktop a map that arrives writes nothing: the next redraw
    // prepares it. A missing month's map is not asked for either.
    LastFrameTime() = 0;
    ASSERT_TRUE(app_.ThreadMessages().Dispatch(UM_PRESENCE, static_cast<WPARAM>(PresenceSource::kDisplay), 0));
    app_.OnThreadCommand(ID_SHARP_MAP_DONE, 0);
    EXPECT_FALSE(SourcesWerePrepared());
    EXPECT_EQ(State().PreparedDayImage, kNothingPrepared);
    State().DaytimeImage = 4;
    app_.OnThreadCommand(ID_SHARP_MAP_DONE, 0);
    EXPECT_EQ(SharpMapThread().load(), INVALID_HANDLE_VALUE) << "no download while unseen";
    ASSERT_TRUE(app_.ThreadMessages().Dispatch(UM_PRESENCE, static_cast<WPARAM>(PresenceSource::kDisplay), 1));
    State().DaytimeImage = 5;

    // A map for another month than the one shown now is kept for later, and not drawn.
    LastFrameTime() = 0;
    State().DaytimeImage = 6;
    State().SharpMaps = 0;
    app_.OnThreadCommand(ID_SHARP_MAP_DONE, 0);
    EXPECT_FALSE(SourcesWerePrepared());
    EXPECT_EQ(SharpMapThread().load(), INVALID_HANDLE_VALUE) << "nothing to fetch with the choice off";
}

TEST_F(OrbiscapeAppTest, TheRedrawTimerPreparesAndRedrawsAtIdlePriorityAndRestoresNormal) {
    RenderTimerId() = SetTimer(nullptr, 0, 600000, &COrbiscapeApp::UpdateTimerProc);
    COrbiscapeApp::UpdateTimerProc(nullptr, WM_TIMER, RenderTimerId(), 0);
    EXPECT_TRUE(SourcesWerePrepared());
    EXPECT_EQ(State().PreparedDayImage, kNothingPrepared) << "without pictures, tried again next time";
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
}

TEST_F(OrbiscapeAppTest, TheClockCheckRedrawsOnlyAFrameThatTheClockHasLeftBehind) {
    StoreSettings([](CSettings& settings) { settings.UpdateFreq = 3600000; });
    ASSERT_EQ(app_.ApplySettings(), true);
    ASSERT_NE(ClockCheckTimerId(), 0u);
    EXPECT_NEAR(static_cast<double>(LastFrameTime()), static_cast<double>(CurrentUtcSeconds()), 5.0);

    // An hour's period: a frame of 30 minutes is current, and the check reads nothing else.
    const std::int64_t halfAnHourAgo = CurrentUtcSeconds() - 30 * 60;
    LastFrameTime() = halfAnHourAgo;
    COrbiscapeApp::UpdateTimerProc(nullptr, WM_TIMER, ClockCheckTimerId(), 0);
    EXPECT_EQ(LastFrameTime(), halfAnHourAgo) << "not redrawn";

    // After a night's sleep, or a clock set back by an hour, it is redrawn at idle priority.
    for (const std::int64_t jump : {8 * 3600, -3600}) {
        LastFrameTime() = CurrentUtcSeconds() - jump;
        COrbiscapeApp::UpdateTimerProc(nullptr, WM_TIMER, ClockCheckTimerId(), 0);
        EXPECT_NEAR(static_cast<double>(LastFrameTime()), static_cast<double>(CurrentUtcSeconds()), 5.0);
        EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    }
}

TEST_F(OrbiscapeAppTest, AWakeRedrawsOnceForItsTwoEventsAndNothingBeforeTheFirstApply) {
    const auto resume = [this](WPARAM event) {
        LastFrameTime() = 0;
        EXPECT_TRUE(app_.ThreadMessages().Dispatch(UM_RESUME, event, 0));
        return LastFrameTime() != 0;
    };
    EXPECT_FALSE(resume(PBT_APMRESUMEAUTOMATIC)) << "no redraw is scheduled yet";
    EXPECT_FALSE(SourcesWerePrepared());

    RenderTimerId() = SetTimer(nullptr, 0, 600000, &COrbiscapeApp::UpdateTimerProc);
    EXPECT_TRUE(resume(PBT_APMRESUMEAUTOMATIC));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    EXPECT_FALSE(resume(PBT_APMRESUMESUSPEND)) << "the same wake, drawn already";
    // A wake whose first event did not arrive, and one after a timed redraw, are drawn.
    EXPECT_TRUE(resume(PBT_APMRESUMESUSPEND));
    EXPECT_TRUE(resume(PBT_APMRESUMEAUTOMATIC));
    COrbiscapeApp::UpdateTimerProc(nullptr, WM_TIMER, RenderTimerId(), 0);
    EXPECT_TRUE(resume(PBT_APMRESUMESUSPEND));

    app_.OnThreadCommand(ID_APP_EXIT, 0);
    EXPECT_FALSE(resume(PBT_APMRESUMEAUTOMATIC)) << "nothing after the exit";
}

TEST_F(OrbiscapeAppTest, ATimerOfNeitherIdentifierIsIgnored) {
    ArmBothTimers();
    const UINT_PTR cloudTimer = CloudTimerId();
    const UINT_PTR stranger = SetTimer(nullptr, 0, 600000, &COrbiscapeApp::UpdateTimerProc);
    COrbiscapeApp::UpdateTimerProc(nullptr, WM_TIMER, stranger, 0);
    KillTimer(nullptr, stranger);

    EXPECT_FALSE(SourcesWerePrepared());
    EXPECT_EQ(CloudTimerId(), cloudTimer);
    EXPECT_EQ(WorkerThread().load(), INVALID_HANDLE_VALUE);
}

// A worker that holds the slot until told to end, standing in for a long download.
struct StandInDownload {
    WorkerSlot* slot;
    HANDLE mayEnd;
};

unsigned __stdcall RunStandInDownload(void* argument) {
    const auto& download = *static_cast<StandInDownload*>(argument);
    WaitForSingleObject(download.mayEnd, INFINITE);
    ReleaseWorkerSlot(*download.slot);
    return 0;
}

TEST_F(OrbiscapeAppTest, ACloudTimerThatFiresWhileADownloadRunsStartsNoSecondOne) {
    const HANDLE mayEnd = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    StandInDownload download{&WorkerThread(), mayEnd};
    ASSERT_TRUE(StartWorker(WorkerThread(), &RunStandInDownload, &download));
    const HANDLE running = WorkerThread().load();
    ArmBothTimers();
    const UINT_PTR cloudTimer = CloudTimerId();

    COrbiscapeApp::UpdateTimerProc(nullptr, WM_TIMER, cloudTimer, 0);

    EXPECT_EQ(CloudTimerId(), 0u);
    EXPECT_FALSE(KillTimer(nullptr, cloudTimer)) << "the cloud timer fires once";
    EXPECT_EQ(WorkerThread().load(), running);
    SetEvent(mayEnd);
    EXPECT_TRUE(WaitUntil([this] { return WorkerThread().load() == INVALID_HANDLE_VALUE; }, kDeadline));
    CloseHandle(mayEnd);
}

TEST_F(OrbiscapeAppTest, TheExitWaitsForARunningDownloadAndClosesItsHandleOnce) {
    const HANDLE mayEnd = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    const DWORD handlesBefore = ProcessHandleCount();
    StandInDownload download{&WorkerThread(), mayEnd};
    ASSERT_TRUE(StartWorker(WorkerThread(), &RunStandInDownload, &download));
    std::thread letGo([mayEnd] {
        Sleep(200);
        SetEvent(mayEnd);
    });

    app_.Shutdown();
    letGo.join();

    EXPECT_EQ(WorkerThread().load(), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WaitUntil([&] { return ProcessHandleCount() == handlesBefore; }, kDeadline));
    EXPECT_TRUE(QuitWasPosted());
    CloseHandle(mayEnd);
}

TEST_F(OrbiscapeAppTest, ACloudTimerStartsTheDownloadWhoseEndEmptiesTheSlotAndReportsBack) {
    // With no mirror to ask, the download gives up at once, without touching the network.
    StoreSettings([](CSettings& settings) {
        settings.AutoUpdateClouds = 1;
        settings.URLs.clear();
    });
    const DWORD handlesBefore = ProcessHandleCount();
    CloudTimerId() = SetTimer(nullptr, 0, 600000, &COrbiscapeApp::UpdateTimerProc);

    COrbiscapeApp::UpdateTimerProc(nullptr, WM_TIMER, CloudTimerId(), 0);
    EXPECT_EQ(CloudTimerId(), 0u);

    ThreadMessage done = {};
    ASSERT_TRUE(WaitForThreadMessage(WM_COMMAND, kDeadline, &done));
    EXPECT_EQ(done.wParam, static_cast<WPARAM>(ID_CLOUD_UPDATE_DONE));
    EXPECT_EQ(done.lParam, 0);
    EXPECT_EQ(WorkerThread().load(), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WaitUntil([&] { return ProcessHandleCount() == handlesBefore; }, kDeadline));

    app_.ThreadMessages().Dispatch(WM_COMMAND, done.wParam, done.lParam);
    EXPECT_NE(CloudTimerId(), 0u) << "the next download is scheduled";
}

TEST_F(OrbiscapeAppTest, TheDialogCommandsOpenTheirDialogs) {
    const ModalWatchdog watchdog(GetCurrentThreadId(), std::chrono::seconds(30));
    for (const auto& [command, caption] :
         {std::pair{ID_OPTIONS, "Orbiscape"}, std::pair{ID_CLOUD_UPDATES, "Orbiscape - Cloud Updates"},
          std::pair{ID_APP_ABOUT, "About Orbiscape"}}) {
        std::string shown;
        const WhenWindowAppears whenDialogOpens(GetCurrentThreadId(), kDialogClass, [&](HWND dialog) {
            char text[64] = {};
            GetWindowTextA(dialog, text, sizeof text);
            shown = text;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        app_.OnThreadCommand(command, 0);
        EXPECT_TRUE(whenDialogOpens.Ran()) << command;
        EXPECT_EQ(shown, caption);
    }
    EXPECT_FALSE(watchdog.Fired());
    EXPECT_FALSE(SourcesWerePrepared()) << "a cancelled settings dialog applies nothing";
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM dialogs) {
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (IsWindowVisible(window) && std::string(className) == kDialogClass) {
        reinterpret_cast<std::vector<HWND>*>(dialogs)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> OpenDialogs(DWORD thread) {
    std::vector<HWND> dialogs;
    EnumThreadWindows(thread, &CollectDialog, reinterpret_cast<LPARAM>(&dialogs));
    return dialogs;
}

TEST_F(OrbiscapeAppTest, OptionsWhileTheSettingsDialogIsOpenOpensASecondOne) {
    // The thread's commands reach the application inside the dialog's modal loop.
    const ThreadMessageFilter filter(app_.ThreadMessages());
    const DWORD thread = GetCurrentThreadId();
    const ModalWatchdog watchdog(thread, std::chrono::seconds(30));
    bool nested = false;
    std::thread user([&] {
        if (WaitUntil([&] { return OpenDialogs(thread).size() == 1; }, kDeadline)) {
            PostThreadMessageA(thread, WM_COMMAND, ID_OPTIONS, 0);
            nested = WaitUntil([&] { return OpenDialogs(thread).size() == 2; }, kDeadline);
        }
        // Closed from the inner one out.
        while (!OpenDialogs(thread).empty()) {
            PostMessageA(OpenDialogs(thread).front(), WM_COMMAND, IDCANCEL, 0);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    });
    app_.OnThreadCommand(ID_OPTIONS, 0);
    user.join();
    EXPECT_TRUE(nested);
    EXPECT_FALSE(watchdog.Fired());
}

TEST_F(OrbiscapeAppTest, TheExitStopsADownloadStuckOnASilentMirrorWithinSeconds) {
    // The mirror sends the head and a part of the body, then nothing more: without a stop the
    // attempt would wait half a minute for the rest, and three more would follow. A download
    // that did not end in time would end the process, and this test with it.
    LoopbackHttpServer mirror("127.0.0.6", 80, [](const std::string&) {
        ServerReply reply(HttpHead("200 OK", 5000) + std::string(1000, 'x'));
        reply.End = ReplyEnd::FallSilent;
        return reply;
    });
    ASSERT_TRUE(mirror.Listening()) << mirror.Failure();
    StoreSettings([](CSettings& settings) {
        settings.AutoUpdateClouds = 1;
        settings.URLs = {"http://127.0.0.6/clouds_2048.jpg"};
    });
    CloudTimerId() = SetTimer(nullptr, 0, 600000, &COrbiscapeApp::UpdateTimerProc);
    COrbiscapeApp::UpdateTimerProc(nullptr, WM_TIMER, CloudTimerId(), 0);
    ASSERT_TRUE(WaitUntil([&mirror] { return mirror.RequestCount() == 1; }, kDeadline));
    Sleep(500);

    const auto exitGiven = std::chrono::steady_clock::now();
    app_.Shutdown();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - exitGiven).count();

    EXPECT_LT(seconds, 1.0) << "the download ended as soon as it was asked to";
    EXPECT_EQ(WorkerThread().load(), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(QuitWasPosted());
    EXPECT_EQ(mirror.RequestCount(), 1u);
    EXPECT_FALSE(FileExists(kDesktopCloudsFile));
    EXPECT_FALSE(FileExists(kDownloadedCloudsFile)) << "no part of a map is kept";
}

// Start-up. The test program has no arguments, so each start is a normal one.
class StartupTest : public OrbiscapeAppTest {
  protected:
    void TearDown() override {
        app_.Shutdown();
        OrbiscapeAppTest::TearDown();
    }
};

TEST_F(StartupTest, ASecondCopySaysSoAndLeavesTheFirstCopysMutexAlone) {
    const HANDLE firstCopy = CreateMutexA(nullptr, TRUE, kProgramMutexName);
    ASSERT_NE(firstCopy, nullptr);
    std::string text;
    std::string caption;
    const ModalWatchdog watchdog(GetCurrentThreadId());
    const WhenWindowAppears whenBoxOpens(GetCurrentThreadId(), kDialogClass, [&](HWND box) {
        char buffer[256] = {};
        GetWindowTextA(box, buffer, sizeof buffer);
        caption = buffer;
        // The message box's text control has the id 0xFFFF.
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        text = buffer;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });

    EXPECT_FALSE(app_.InitInstance());

    EXPECT_TRUE(whenBoxOpens.Ran());
    EXPECT_EQ(caption, "Orbiscape");
    EXPECT_EQ(text, "Orbiscape is already running. Look for the globe icon in your system tray.");
    EXPECT_FALSE(InstanceMutex());
    EXPECT_TRUE(MutexExists(kProgramMutexName));
    EXPECT_EQ(FindWindowA(nullptr, "OrbiscapeCommandSink"), nullptr);
    EXPECT_EQ(RenderTimerId(), 0u);
    CloseHandle(firstCopy);
}

TEST_F(StartupTest, ANormalStartMakesTheMissingCloudBitmapsAndAppliesTheSettings) {
    folder_.CopyFromSource("data/clouds.jpg", kSeedCloudsFile);

    ASSERT_TRUE(app_.InitInstance());

    EXPECT_TRUE(InstanceMutex());
    const HWND sink = FindWindowA(nullptr, "OrbiscapeCommandSink");
    ASSERT_NE(sink, nullptr);
    EXPECT_EQ(app_.MainWindow()->GetSafeHwnd(), sink);
    EXPECT_FALSE(IsWindowVisible(sink));
    EXPECT_EQ(GetWindowLongA(sink, GWL_STYLE) & ~WS_CLIPSIBLINGS, static_cast<LONG>(WS_POPUP));
    EXPECT_NE(SendMessageA(sink, WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_NE(SendMessageA(sink, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_TRUE(FileExists(kDesktopCloudsFile));
    EXPECT_TRUE(FileExists(kSmallCloudsFile));
    EXPECT_NE(RenderTimerId(), 0u);
    EXPECT_EQ(CloudTimerId(), 0u) << "cloud updates are off by default";
    EXPECT_EQ(State().Width, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_TRUE(SourcesWerePrepared());
}

TEST_F(StartupTest, AnExistingCloudBitmapIsNotMadeAgain) {
    folder_.CopyFromSource("data/clouds.jpg", kSeedCloudsFile);
    // Not the size the seed map would give: a bitmap that reads back stays, whatever its size
    // within the master bitmap's.
    ASSERT_TRUE(ScaleImageFile(kSeedCloudsFile, nullptr, 64, 32, kDesktopCloudsFile, false));
    const auto kept = std::filesystem::file_size(kDesktopCloudsFile);

    ASSERT_TRUE(app_.InitInstance());

    EXPECT_EQ(std::filesystem::file_size(kDesktopCloudsFile), kept);
    EXPECT_TRUE(FileExists(kSmallCloudsFile));
}

TEST_F(StartupTest, WithoutTheSeedCloudMapStartUpGoesOn) {
    ASSERT_TRUE(app_.InitInstance());
    EXPECT_FALSE(FileExists(kDesktopCloudsFile));
    EXPECT_FALSE(FileExists(kSmallCloudsFile));
    EXPECT_NE(RenderTimerId(), 0u);
}

// The display and the session as the system tells the tray's window of them, through the same
// window messages; the display's state through the test's own notice, which only a sender in the
// same process can give. The scratch directory has no pictures, so each redraw is only tried
// (the frame's time is noted); the end-to-end scenario "unseen_desktop" looks at the files.
TEST_F(StartupTest, NothingIsDoneWhileNobodyCanSeeTheDesktopAndTheFrameIsCurrentOnceSomebodyCan) {
    // A redraw every 5 s, and a cloud map that was never downloaded: due 5 s after the start.
    LoopbackHttpServer mirror("127.0.0.27", 80,
                              [](const std::string&) { return ServerReply(HttpHead("404 Not Found", 0)); });
    ASSERT_TRUE(mirror.Listening()) << mirror.Failure();
    StoreSettings([](CSettings& settings) {
        settings.UpdateFreq = 5000;
        settings.AutoUpdateClouds = 1;
        settings.URLs = {"http://127.0.0.27/clouds_2048.jpg"};
    });
    ASSERT_TRUE(app_.InitInstance());
    ASSERT_NE(CloudTimerId(), 0u);
    const auto tell = [this](const GUID& setting, DWORD value) {
        EXPECT_EQ(SendPowerSettingChange(TrayWindow(), setting, value), TRUE);
        RunMessagesUntil([] { return true; }, milliseconds(0));
    };
    const auto session = [this](DWORD event) {
        SendMessageA(TrayWindow(), WM_WTSSESSION_CHANGE, event, 1);
        RunMessagesUntil([] { return true; }, milliseconds(0));
    };

    // The display goes off: for six periods nothing is drawn, and the download does not start.
    tell(kSessionDisplayStatus, 0);
    EXPECT_FALSE(app_.MayWorkInBackground());
    const std::int64_t frameBefore = LastFrameTime();
    EXPECT_FALSE(
        RunMessagesUntil([&] { return LastFrameTime() != frameBefore || mirror.RequestCount() != 0; },
                         std::chrono::seconds(30)));
    EXPECT_EQ(RenderTimerId(), 0u);
    EXPECT_EQ(ClockCheckTimerId(), 0u);
    EXPECT_EQ(CloudTimerId(), 0u);

    // On again: the frame, older than its period now, is drawn at once, and the download that
    // fell due starts.
    const auto on = std::chrono::steady_clock::now();
    tell(kSessionDisplayStatus, 1);
    ASSERT_TRUE(RunMessagesUntil([&] { return LastFrameTime() != frameBefore; }, kDeadline));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - on).count();
    RecordProperty("FrameAfterDisplayOnMs", static_cast<int>(seconds * 1000));
    EXPECT_LT(seconds, 1.0);
    EXPECT_EQ(RenderTimerDelay(), 5000u);
    EXPECT_NE(ClockCheckTimerId(), 0u);
    EXPECT_TRUE(RunMessagesUntil([&] { return mirror.RequestCount() != 0; }, kDeadline));

    // Dimmed is seen. The battery saver spaces the redraws to a quarter of an hour, counted from
    // the last frame; its end brings the chosen period back.
    tell(kSessionDisplayStatus, 2);
    EXPECT_TRUE(app_.MayWorkInBackground());
    tell(kPowerSavingStatus, 1);
    EXPECT_GT(RenderTimerDelay(), 890000u);
    EXPECT_LE(RenderTimerDelay(), 900000u);
    tell(kPowerSavingStatus, 0);
    EXPECT_LE(RenderTimerDelay(), 5000u);

    // Locked: neither a wake nor a new screen size is drawn. Unlocked: the new size is drawn at
    // once, and the wake's second event finds that frame.
    session(WTS_SESSION_LOCK);
    EXPECT_EQ(RenderTimerId(), 0u);
    LastFrameTime() = 1;
    State().Width = 1;
    app_.ThreadMessages().Dispatch(UM_RESUME, PBT_APMRESUMEAUTOMATIC, 0);
    app_.ThreadMessages().Dispatch(UM_SETTINGCHANGE, 0, 0);
    EXPECT_EQ(LastFrameTime(), 1);
    EXPECT_EQ(State().Width, 1);
    session(WTS_SESSION_UNLOCK);
    EXPECT_EQ(State().Width, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_NE(LastFrameTime(), 1);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    LastFrameTime() = 1;
    app_.ThreadMessages().Dispatch(UM_RESUME, PBT_APMRESUMESUSPEND, 0);
    EXPECT_EQ(LastFrameTime(), 1);
    EXPECT_NE(RenderTimerId(), 0u);
}

// Never-confirmed settings open the settings dialog before anything is drawn; its answer decides
// whether the program goes on.
class UnconfirmedStartTest : public StartupTest {
  protected:
    // Starts with unconfirmed settings and ends the settings dialog with `answer`.
    BOOL StartAndAnswer(int answer) {
        StoreSettings([](CSettings& settings) { settings.CenterOn = kCenterOnUnconfirmed; });
        const ModalWatchdog watchdog(GetCurrentThreadId(), std::chrono::seconds(30));
        const WhenWindowAppears whenDialogOpens(GetCurrentThreadId(), kDialogClass, [&](HWND dialog) {
            nothingDrawnWhileOpen_ = !FileExists(kCurrentFrameFile) && !SourcesWerePrepared();
            PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        });
        const BOOL started = app_.InitInstance();
        EXPECT_TRUE(whenDialogOpens.Ran());
        EXPECT_FALSE(watchdog.Fired());
        EXPECT_TRUE(nothingDrawnWhileOpen_);
        return started;
    }

    bool nothingDrawnWhileOpen_ = false;
};

TEST_F(UnconfirmedStartTest, CancelEndsTheStartWithNothingDrawn) {
    EXPECT_FALSE(StartAndAnswer(IDCANCEL));
    EXPECT_EQ(RenderTimerId(), 0u);
    EXPECT_EQ(CloudTimerId(), 0u);
    EXPECT_FALSE(SourcesWerePrepared());
    EXPECT_EQ(CSettings().CenterOn, kCenterOnUnconfirmed);
}

TEST_F(UnconfirmedStartTest, OkStoresTheDialogsChoicesAndTheStartGoesOnToApplyThem) {
    EXPECT_TRUE(StartAndAnswer(IDOK));
    EXPECT_EQ(CSettings().CenterOn, kCenterOnTimeZone) << "the dialog's first centre entry";
    MSG posted = {};
    ASSERT_TRUE(PeekMessageA(&posted, reinterpret_cast<HWND>(-1), WM_COMMAND, WM_COMMAND, PM_REMOVE));
    EXPECT_EQ(posted.wParam, static_cast<WPARAM>(ID_APPLY_SETTINGS));
    app_.ThreadMessages().Dispatch(WM_COMMAND, posted.wParam, posted.lParam);
    EXPECT_TRUE(SourcesWerePrepared());
    EXPECT_NE(RenderTimerId(), 0u);
}

}  // namespace
