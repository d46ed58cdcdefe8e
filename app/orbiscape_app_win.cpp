#include "app/orbiscape_app_win.h"

#include <commctrl.h>

#include <algorithm>

#include "app/cloud_schedule.h"
#include "app/command_line_actions_win.h"
#include "app/frame_age.h"
#include "app/redraw_period.h"
#include "app/sharp_map_schedule.h"
#include "app/startup_switch.h"
#include "app/system_tray_win.h"
#include "app/thread_messages_win.h"
#include "app/working_file_recovery.h"
#include "app/working_folder_notices.h"
#include "app/working_folder_win.h"
#include "framework/exception_barrier.h"
#include "image/file_io.h"
#include "output/desktop_item_win.h"
#include "output/wallpaper_win.h"
#include "render/prepare_sources.h"
#include "render/render_and_publish_win.h"
#include "render/utc_clock.h"
#include "render/working_files.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"
#include "ui/about_dlg_win.h"
#include "ui/cloud_dlg_win.h"
#include "ui/orbiscape_dlg_win.h"

namespace {

constexpr char kMutexName[] = "OrbiscapeMutex";
constexpr char kAlreadyRunningText[] =
    "Orbiscape is already running. Look for the globe icon in your system tray.";
constexpr char kMessageCaption[] = "Orbiscape";

// How long the program's end waits for a running download that has been asked to stop. On the
// network it ends within a tenth of a second; while it installs a map, after the step under way,
// the longest of which takes about a second.
constexpr DWORD kDownloadStopTimeoutMs = 2000;

// Lowers the calling thread's priority for as long as it lives; normal priority afterwards.
class ThreadPriorityScope {
  public:
    explicit ThreadPriorityScope(int priority) { SetThreadPriority(GetCurrentThread(), priority); }
    ~ThreadPriorityScope() { SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL); }
    ThreadPriorityScope(const ThreadPriorityScope&) = delete;
    ThreadPriorityScope& operator=(const ThreadPriorityScope&) = delete;
};

// The globe icon at the size the system wants for small icons (title bar, notification area).
// Shared icons belong to the system's cache and are never destroyed.
HICON SmallProgramIcon(HINSTANCE instance) {
    return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_ORBISCAPE), IMAGE_ICON,
                                         GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         LR_SHARED));
}

bool IsOn(std::int32_t flag) {
    return flag != 0;
}

WrapOrigin VirtualScreenOrigin() {
    return {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN)};
}

// The month whose downloaded map the desktop would show now, or 0.
int MonthOfSharpMap(const RenderState& state) {
    return SharpMapMonth(state.SharpMaps, state.DaytimeImage, BreakDownUtc(CurrentUtcSeconds()).tm_mon + 1);
}

std::uint64_t PresentFileTime() {
    FILETIME now = {};
    GetSystemTimeAsFileTime(&now);
    return (std::uint64_t{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

}  // namespace

COrbiscapeApp::COrbiscapeApp() {
    downloadContext_.WorkerThread = &WorkerThread;
    downloadContext_.State = &RenderState;
    downloadContext_.MainThreadId = ThreadId();
    sharpMapContext_.WorkerThread = &SharpMapThread;
    sharpMapContext_.MainThreadId = ThreadId();
    MapThreadMessage(WM_COMMAND, [this](WPARAM wParam, LPARAM lParam) { OnThreadCommand(wParam, lParam); });
    MapThreadMessage(UM_SETTINGCHANGE,
                     [this](WPARAM wParam, LPARAM lParam) { OnThreadSettingChange(wParam, lParam); });
    MapThreadMessage(UM_RESUME, [this](WPARAM wParam, LPARAM lParam) { OnThreadResume(wParam, lParam); });
    MapThreadMessage(UM_PRESENCE, [this](WPARAM wParam, LPARAM lParam) { OnThreadPresence(wParam, lParam); });
}

COrbiscapeApp::~COrbiscapeApp() {
    StopDownloads();
}

BOOL COrbiscapeApp::InitInstance() {
    // The common controls that the dialogs' templates use besides the standard ones.
    const INITCOMMONCONTROLSEX dialogControls = {sizeof(INITCOMMONCONTROLSEX),
                                                 ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&dialogControls);
    switch (ParseStartupSwitch(CommandLine())) {
        case StartupSwitch::kInstall:
            StartFromProgramDirectory();
            return FALSE;
        case StartupSwitch::kUninstall:
            UninstallFromDesktop();
            return FALSE;
        case StartupSwitch::kNormalStart:
            break;
    }

    InstanceMutex.Reset(CreateMutexA(nullptr, TRUE, kMutexName));
    if (!InstanceMutex) {
        return FALSE;
    }
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxA(nullptr, kAlreadyRunningText, kMessageCaption, MB_ICONINFORMATION);
        InstanceMutex.Reset();
        return FALSE;
    }
    // In a folder that takes no files (unpacked under Program Files, say) nothing could ever be
    // drawn: better one clear word now than an icon that seems to work.
    if (const std::optional<unsigned long> refused = WorkingFilesRefused()) {
        TellUnwritableFolder(*refused);
        InstanceMutex.Reset();
        return FALSE;
    }

    tray_.Create(SmallProgramIcon(Instance()));

    if (!commandSink_.CreateEx(0, kCommandSinkTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr)) {
        // Without it the program could not be stopped by "/uninstall".
        return FALSE;
    }
    SetMainWindow(&commandSink_);
    commandSink_.SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(SmallProgramIcon(Instance())));
    commandSink_.SendMessage(
        WM_SETICON, ICON_BIG,
        reinterpret_cast<LPARAM>(LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_ORBISCAPE))));

    // What an earlier run's end cut off is mended before anything reads a working file; a cloud
    // map that is missing is made from the seed map. One that reads back is never remade here,
    // however old: the download keeps it current.
    RecoverWorkingFiles(ProgramSettingsStore());

    return ApplySettings() ? TRUE : FALSE;
}

void COrbiscapeApp::Shutdown() {
    shutDown_ = true;
    InstanceMutex.Reset();
    KillRedrawTimers();
    KillTimer(nullptr, CloudTimerId);
    KillTimer(nullptr, SharpMapTimerId);
    CloudTimerId = 0;
    SharpMapTimerId = 0;
    StopDownloads();
    PostQuitMessage(0);
}

bool COrbiscapeApp::ApplySettings() {
    const CSettings settings;
    if (settings.CenterOn == kCenterOnUnconfirmed) {
        return OpenSettingsDialog() == IDOK;
    }

    RenderState.CenterOn = settings.CenterOn;
    RenderState.BlackBars = settings.BlackBars;

    if (IsOn(RenderState.ActiveDesktop) != IsOn(settings.ActiveDesktop)) {
        // The picture leaves the old place before it appears in the new one.
        if (IsOn(RenderState.ActiveDesktop)) {
            RemoveDesktopItems();
        } else {
            ClearWallpaper();
        }
    }
    RenderState.ActiveDesktop = settings.ActiveDesktop;

    RenderState.Clouds = settings.Clouds;
    RenderState.NighttimeImage = settings.NighttimeImage;
    RenderState.DaytimeImage = settings.DaytimeImage;
    RenderState.SharpMaps = settings.SharpMaps;
    RenderState.CloudFactor = settings.CloudFactor;

    // The wallpaper is tiled over every monitor; an Active Desktop item has the chosen size.
    const bool wallpaper = !IsOn(RenderState.ActiveDesktop);
    RenderState.SetOutputShape(wallpaper ? GetSystemMetrics(SM_CXVIRTUALSCREEN) : settings.HorizontalRes,
                               wallpaper ? GetSystemMetrics(SM_CYVIRTUALSCREEN) : settings.VerticalRes,
                               settings.Crop);

    PrepareSources(RenderState, true);

    redrawPeriodMs_ = RedrawTimerPeriod(settings.UpdateFreq);
    ArmRedrawTimers(RedrawPeriod());

    // The settings may name other mirrors now: they are asked without waiting out the failures
    // of the old ones.
    failedCloudRuns_ = 0;
    RearmCloudTimer();

    Publish(true);
    // The choice may have been switched on, or another month chosen: asked at once.
    failedSharpMapRuns_ = 0;
    KillTimer(nullptr, SharpMapTimerId);
    SharpMapTimerId = 0;
    FetchSharpMapIfMissing();
    return true;
}

UINT_PTR COrbiscapeApp::ScheduleCloudTimer() {
    const CSettings settings;
    if (!IsOn(settings.AutoUpdateClouds)) {
        return 0;
    }
    const std::uint32_t delay =
        std::max(CloudTimerDelay(settings.CloudsLastUpdated, PresentFileTime(), settings.CloudUpdateFreq),
                 CloudRetryDelay(failedCloudRuns_, settings.CloudUpdateFreq));
    return SetTimer(nullptr, 1, delay, &COrbiscapeApp::UpdateTimerProc);
}

void COrbiscapeApp::RearmCloudTimer() {
    // An apply made while a download runs arms a timer that the download's end would arm a
    // second time; killing the recorded one first keeps a single cloud timer, so no forgotten
    // timer goes on firing.
    if (CloudTimerId != 0) {
        KillTimer(nullptr, CloudTimerId);
    }
    // A download that falls due while nobody can see the desktop waits until somebody can.
    CloudTimerId = presence_.Seen() ? ScheduleCloudTimer() : 0;
}

void COrbiscapeApp::OnThreadCommand(WPARAM wParam, LPARAM /*lParam*/) {
    if (shutDown_) {
        return;
    }
    switch (wParam) {
        case ID_APPLY_SETTINGS:
            ApplySettings();
            break;
        case ID_OPTIONS:
            OpenSettingsDialog();
            break;
        case ID_CLOUD_UPDATES:
            OpenCloudUpdatesDialog();
            break;
        case ID_CLOUD_UPDATE_DONE:
            OnCloudRunEnded(downloadContext_.LastRunInstalled.load());
            break;
        case ID_SHARP_MAP_DONE:
            OnSharpMapRunEnded(sharpMapContext_.LastRunInstalled.load());
            break;
        case ID_APP_ABOUT:
            OpenAboutBox();
            break;
        case ID_APP_EXIT:
            Shutdown();
            break;
        default:
            break;
    }
}

void COrbiscapeApp::OnThreadSettingChange(WPARAM /*wParam*/, LPARAM /*lParam*/) {
    // A screen that changes while nobody can see it is drawn once somebody can.
    if (!shutDown_ && presence_.Seen()) {
        RedrawForNewScreen();
    }
}

bool COrbiscapeApp::RedrawForNewScreen() {
    const CSettings settings;
    // An Active Desktop item keeps its own size, whatever the monitors.
    if (settings.CenterOn == kCenterOnUnconfirmed || IsOn(RenderState.ActiveDesktop)) {
        return false;
    }
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const bool resized = width != RenderState.Width || height != RenderState.Height;
    // Monitors rearranged, or another one made the primary, move the corner that the wallpaper is
    // tiled from, which the frame is wrapped for, whether or not the size changes with it.
    const WrapOrigin origin = VirtualScreenOrigin();
    if (!resized && origin.x == screenOrigin_.x && origin.y == screenOrigin_.y) {
        return false;
    }
    // Nobody asked for this redraw: like a timed one, it must not slow down what the user does.
    const ThreadPriorityScope idle(THREAD_PRIORITY_IDLE);
    if (resized) {
        RenderState.SetOutputShape(width, height, RenderState.Crop);
        PrepareSources(RenderState, true);
    }
    Publish(false);
    return true;
}

void COrbiscapeApp::OnThreadResume(WPARAM wParam, LPARAM /*lParam*/) {
    // Before the first apply nothing is drawn on a schedule, and after the exit nothing at all.
    // While nobody can see the desktop, the frame is brought up to date once somebody can.
    if (shutDown_ || RenderTimerId == 0 || !presence_.Seen()) {
        return;
    }
    // A wake that the user causes brings PBT_APMRESUMESUSPEND right after the
    // PBT_APMRESUMEAUTOMATIC that every wake brings.
    if (wParam == PBT_APMRESUMESUSPEND && wakeRedrawn_) {
        wakeRedrawn_ = false;
        return;
    }
    RedrawOnTimer();
    wakeRedrawn_ = wParam == PBT_APMRESUMEAUTOMATIC;
}

void COrbiscapeApp::OnThreadPresence(WPARAM wParam, LPARAM lParam) {
    const PresenceChange change =
        presence_.Take(static_cast<PresenceSource>(wParam), static_cast<std::uint32_t>(lParam));
    // Before the first apply nothing is scheduled, and after the exit nothing at all; the apply
    // arms what the presence allows.
    if (shutDown_ || redrawPeriodMs_ == 0) {
        return;
    }
    switch (change) {
        case PresenceChange::kHidden:
            KillRedrawTimers();
            RearmCloudTimer();
            break;
        case PresenceChange::kSeenAgain:
            // The desktop is seen again on a wake as often as not: the wake's second event, when
            // it follows, finds this frame.
            if (CatchUpWithRedraws()) {
                wakeRedrawn_ = true;
            }
            RearmCloudTimer();
            FetchSharpMapIfMissing();
            break;
        case PresenceChange::kPacingChanged:
            if (presence_.Seen()) {
                CatchUpWithRedraws();
            }
            break;
        case PresenceChange::kNone:
            break;
    }
}

bool COrbiscapeApp::CatchUpWithRedraws() {
    const std::uint32_t period = RedrawPeriod();
    bool redrawn = RedrawForNewScreen();
    std::uint32_t untilNextRedraw =
        redrawn ? period : TimeToNextRedraw(CurrentUtcSeconds(), LastFrameTime, period);
    if (untilNextRedraw == 0) {
        RedrawOnTimer();
        redrawn = true;
        untilNextRedraw = period;
    }
    ArmRedrawTimers(untilNextRedraw);
    return redrawn;
}

void COrbiscapeApp::ArmRedrawTimers(std::uint32_t firstMs) {
    KillRedrawTimers();
    if (!presence_.Seen()) {
        return;
    }
    renderTimerDelayMs_ = firstMs;
    RenderTimerId = SetTimer(nullptr, 0, firstMs, &COrbiscapeApp::UpdateTimerProc);
    ClockCheckTimerId = SetTimer(nullptr, 0, kClockCheckPeriodMs, &COrbiscapeApp::UpdateTimerProc);
}

void COrbiscapeApp::KillRedrawTimers() {
    if (RenderTimerId != 0) {
        KillTimer(nullptr, RenderTimerId);
    }
    if (ClockCheckTimerId != 0) {
        KillTimer(nullptr, ClockCheckTimerId);
    }
    RenderTimerId = 0;
    ClockCheckTimerId = 0;
}

std::uint32_t COrbiscapeApp::RedrawPeriod() const {
    return presence_.RedrawPeriod(redrawPeriodMs_);
}

void CALLBACK COrbiscapeApp::UpdateTimerProc(HWND /*window*/, UINT /*message*/, UINT_PTR timerId,
                                             DWORD /*time*/) {
    // The system calls timer procedures directly, from whichever loop dispatches the timer.
    CallWithoutThrowing(
        "the update timer",
        [timerId] {
            if (auto* app = dynamic_cast<COrbiscapeApp*>(CurrentApp())) {
                app->OnTimer(timerId);
            }
        },
        [] {});
}

void COrbiscapeApp::OnTimer(UINT_PTR timerId) {
    // The timers stop while nobody can see the desktop; a firing queued before, though, may
    // still arrive.
    if (!presence_.Seen()) {
        return;
    }
    if (timerId == RenderTimerId) {
        RedrawOnTimer();
        // A timer armed for the rest of a period goes on at the full period.
        if (renderTimerDelayMs_ != RedrawPeriod()) {
            ArmRedrawTimers(RedrawPeriod());
        }
    } else if (timerId == ClockCheckTimerId) {
        // Reads the clock only: no file is touched while the frame is current.
        if (FrameOutlivedItsPeriod(CurrentUtcSeconds(), LastFrameTime, RedrawPeriod())) {
            RedrawOnTimer();
        }
    } else if (timerId == CloudTimerId) {
        // The cloud timer fires once; the download's end arms the next one.
        KillTimer(nullptr, CloudTimerId);
        CloudTimerId = 0;
        StartCloudDownload();
    } else if (timerId == SharpMapTimerId) {
        KillTimer(nullptr, SharpMapTimerId);
        SharpMapTimerId = 0;
        FetchSharpMapIfMissing();
    }
}

void COrbiscapeApp::RedrawOnTimer() {
    // A timed redraw must not slow down what the user is doing.
    const ThreadPriorityScope idle(THREAD_PRIORITY_IDLE);
    PrepareSources(RenderState, false);
    Publish(false);
    // A new month may have begun.
    FetchSharpMapIfMissing();
}

void COrbiscapeApp::Publish(bool interactive) {
    LastFrameTime = CurrentUtcSeconds();
    screenOrigin_ = VirtualScreenOrigin();
    wakeRedrawn_ = false;
    RenderAndPublish(RenderState, interactive, desktopItemPrompts_);
    TellWriteFailure();
}

void COrbiscapeApp::TellWriteFailure() {
    // Taken at every pass, so that a failure long told of is not told again as new.
    const std::optional<WriteFailure> failure = TakeWriteFailure();
    if (!failure || writeFailureTold_) {
        return;
    }
    const BalloonText balloon = WriteFailureBalloon(CurrentFolder(), SystemErrorText(failure->Error));
    // Without an icon (yet) the next failure tries again.
    writeFailureTold_ = tray_.ShowBalloon(balloon.title, balloon.text);
}

void COrbiscapeApp::StartCloudDownload() {
    // While a download runs nothing starts; its own end arms the next cloud timer.
    if (WorkerThread.load() != INVALID_HANDLE_VALUE) {
        return;
    }
    // A thread that cannot be started is a run that installed nothing: the next one is tried
    // later, or no cloud timer would be armed again before the next apply.
    if (!StartWorker(WorkerThread, &DownloadClouds, &downloadContext_)) {
        OnCloudRunEnded(false);
    }
}

void COrbiscapeApp::OnCloudRunEnded(bool installed) {
    failedCloudRuns_ = installed ? 0 : failedCloudRuns_ + 1;
    RearmCloudTimer();
}

void COrbiscapeApp::FetchSharpMapIfMissing() {
    const int month = MonthOfSharpMap(RenderState);
    // Like a cloud download, a map that falls due while nobody can see the desktop waits.
    if (month == 0 || !presence_.Seen() || SharpMapTimerId != 0 || SharpMapThread.load() != INVALID_HANDLE_VALUE ||
        PathExists(SharpMapFile(month).c_str())) {
        return;
    }
    sharpMapContext_.Month = month;
    if (!StartWorker(SharpMapThread, &DownloadSharpMap, &sharpMapContext_)) {
        OnSharpMapRunEnded(false);
    }
}

void COrbiscapeApp::OnSharpMapRunEnded(bool installed) {
    if (!installed) {
        ++failedSharpMapRuns_;
        SharpMapTimerId =
            SetTimer(nullptr, 0, SharpMapRetryDelay(failedSharpMapRuns_), &COrbiscapeApp::UpdateTimerProc);
        return;
    }
    failedSharpMapRuns_ = 0;
    // The map arrived for the month shown, unless the settings or the month changed meanwhile:
    // then the month shown now is asked for.
    const bool forMonthShown = MonthOfSharpMap(RenderState) == sharpMapContext_.Month;
    if (forMonthShown && !presence_.Seen()) {
        // No file is written while nobody can see the desktop: the next redraw prepares the map.
        RenderState.PreparedDayImage = kNothingPrepared;
    } else if (forMonthShown) {
        // Nobody asked for this redraw: like a timed one, it must not slow down what the user does.
        const ThreadPriorityScope idle(THREAD_PRIORITY_IDLE);
        PrepareSources(RenderState, true);
        Publish(false);
    }
    FetchSharpMapIfMissing();
}

void COrbiscapeApp::StopDownloads() {
    downloadContext_.StopRequested = true;
    sharpMapContext_.StopRequested = true;
    const bool downloadingClouds = WorkerThread.load() != INVALID_HANDLE_VALUE;
    if (!StopWorker(WorkerThread, kDownloadStopTimeoutMs) || !StopWorker(SharpMapThread, kDownloadStopTimeoutMs)) {
        // A step that hangs (a disk that does not answer, say). The download uses this object,
        // which must not go while it runs, and a thread ended from outside may leave a lock held
        // that the end of the program then waits for: the process ends here, and the thread with
        // it. Its new files stand beside the ones in use, which stay as they were.
        tray_.Remove();
        ExitProcess(0);
    }
    // Nothing would ever install the part of a cloud map received so far; a later run fetches a new one.
    if (downloadingClouds) {
        RemoveFile(kDownloadedCloudsFile);
    }
}

int COrbiscapeApp::OpenSettingsDialog() {
    COrbiscapeDlg dialog(ThreadId());
    return static_cast<int>(dialog.DoModal());
}

void COrbiscapeApp::OpenCloudUpdatesDialog() {
    CCloudDialog(ThreadId()).DoModal();
}

void COrbiscapeApp::OpenAboutBox() {
    CAboutDlg().DoModal();
}
