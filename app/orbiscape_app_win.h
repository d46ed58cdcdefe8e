// COrbiscapeApp: the program's application object. It starts the program (the two command-line
// switches, the single-instance mutex, the tray icon, the hidden main window), keeps the drawing
// parameters, the timers and the download threads' handles, and handles the commands that the
// tray, the dialogs and the download threads post to the main thread. All of this runs on the
// main thread; the cloud download thread shares with it only WorkerThread, RenderState's output
// shape and cloud-file lock, and the download's stop request and outcome; the monthly map's
// download thread only SharpMapThread, its month, its stop request and its outcome.
//
// Three thread timers pace the work, all calling UpdateTimerProc: the redraw timer (every
// UpdateFreq milliseconds) redraws at idle priority; the clock check (every minute) redraws the
// same way when the wall clock has left the last frame behind (frame_age.h); and the one-shot
// cloud timer starts a download. The end of each download posts ID_CLOUD_UPDATE_DONE, which
// arms the next cloud timer. The monthly map is fetched whenever the month shown has none (see
// sharp_map_schedule.h); its end posts ID_SHARP_MAP_DONE, and after a failed run a one-shot timer
// of its own starts the next. A wake from sleep (UM_RESUME) and a new screen size or arrangement
// of the monitors (UM_SETTINGCHANGE) redraw at idle priority too.
//
// None of this work runs while nobody can see the desktop (the display is off, the session is
// locked or disconnected; UM_PRESENCE tells, app/desktop_presence.h): the timers stop, and no
// redraw, download or file write starts; a download that runs may finish. Once somebody can see
// it again, a frame that has outlived its period, or a screen that changed meanwhile, is redrawn
// at once at idle priority, the timers go on from the frame's age, and a download that fell due
// meanwhile starts. While the system saves energy the timed redraws come at most every 15 minutes.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/command_sink_win.h"
#include "app/desktop_item_message_boxes_win.h"
#include "app/desktop_presence.h"
#include "app/system_tray_win.h"
#include "clouds/cloud_download_win.h"
#include "clouds/sharp_map_download_win.h"
#include "framework/owned_handle_win.h"
#include "framework/win_app_win.h"
#include "framework/wnd_win.h"
#include "framework/worker_thread_win.h"
#include "output/virtual_screen_wrap.h"
#include "render/render_state.h"

class COrbiscapeApp : public CWinApp {
  public:
    COrbiscapeApp();
    // Downloads still running when the program ends without the exit command (its main window
    // was closed, as "/uninstall" does) are stopped here, before the members that they use go.
    ~COrbiscapeApp() override;

    // Answers "/install" and "/uninstall" (FALSE: the program ends), refuses to run beside
    // another copy, makes the tray icon and the hidden main window, mends the working files that
    // an earlier run's end cut off (working_file_recovery.h), and applies the settings. TRUE
    // enters the message loop.
    BOOL InitInstance() override;

    // The exit command: releases the mutex, kills the timers, stops the running downloads (see
    // StopDownloads), and ends the message loop. The end of the session runs it too, from
    // the hidden main window, before the process may be ended.
    void Shutdown();

    // The apply-settings command: reloads the settings, switches the output mode if it changed,
    // prepares the sources, re-arms the timers and draws interactively. While the settings have
    // never been confirmed it opens the settings dialog instead, whose OK applies them in turn.
    // False when that dialog was cancelled: the program has nothing to draw.
    bool ApplySettings();
    // Arms the one-shot cloud timer for the next download, when it is due, but no sooner than
    // the failed runs since the last success or apply allow (CloudRetryDelay); returns its
    // identifier, or 0 when cloud updates are off or the timer could not be armed.
    UINT_PTR ScheduleCloudTimer();

    // The handlers of the thread messages WM_COMMAND, UM_SETTINGCHANGE, UM_RESUME and
    // UM_PRESENCE.
    void OnThreadCommand(WPARAM wParam, LPARAM lParam);
    void OnThreadSettingChange(WPARAM wParam, LPARAM lParam);
    // Redraws at once, once the redraws are scheduled; of the two events of one wake that the
    // user causes, the second finds the frame that the first drew.
    void OnThreadResume(WPARAM wParam, LPARAM lParam);
    void OnThreadPresence(WPARAM wParam, LPARAM lParam);

    // Whether work that nobody asked for (a timed redraw, a download) may start now: somebody may
    // see the desktop.
    bool MayWorkInBackground() const { return presence_.Seen(); }

    // The procedure of the three timers; only the identifier counts.
    static void CALLBACK UpdateTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);

  private:
    // The tests set the timers and the drawing state up as a run would have left them.
    friend class OrbiscapeAppTest;

    void OnTimer(UINT_PTR timerId);
    void RedrawOnTimer();
    // In wallpaper mode, when the virtual screen's size is not the picture's any more: takes the
    // new size, prepares the sources anew and redraws at idle priority. Returns whether it did.
    bool RedrawForNewScreen();
    // Arms the redraw timer to fire first after firstMs, then every RedrawPeriod(), and the
    // clock check; only while somebody can see the desktop. Kills them otherwise.
    void ArmRedrawTimers(std::uint32_t firstMs);
    void KillRedrawTimers();
    // The redraw timer's period, as chosen or as the energy saving allows.
    std::uint32_t RedrawPeriod() const;
    // The desktop is seen again, or the energy saving changed: redraws at once what is due (a
    // new screen size, a frame that has outlived its period), and arms the redraw timers for the
    // next redraw. Returns whether it redrew.
    bool CatchUpWithRedraws();
    // Draws the frame for the present moment and publishes it, noting when, and tells of a
    // working file that could not be written.
    void Publish(bool interactive);
    void StartCloudDownload();
    // A download run has ended, or could not start: counts it for the retry delay and arms the
    // next cloud timer.
    void OnCloudRunEnded(bool installed);
    void RearmCloudTimer();
    // Starts the monthly map's download when the month shown has no map yet, none runs and no
    // pause after a failed run is under way.
    void FetchSharpMapIfMissing();
    // A monthly map's download has ended: a new map is prepared and drawn at once, a failure
    // arms the timer of the next attempt.
    void OnSharpMapRunEnded(bool installed);
    // Asks the running downloads to stop and waits for them: each ends within a tenth of a second
    // on the network, and within a step of its installation. One that has not ended after
    // kDownloadStopTimeoutMs ends the process.
    void StopDownloads();

    // Tells the user, once per run, of a working file that could not be written since the last
    // call (a full disk): the picture on the desktop stays and the next redraw tries again.
    void TellWriteFailure();

    // The dialogs are opened from here; each returns what its modal run returns.
    int OpenSettingsDialog();
    void OpenCloudUpdatesDialog();
    void OpenAboutBox();

    // The named mutex "OrbiscapeMutex" that keeps a second copy out, held from start-up to the
    // exit command.
    OwnedKernelHandle InstanceMutex;
    WorkerSlot WorkerThread{INVALID_HANDLE_VALUE};
    WorkerSlot SharpMapThread{INVALID_HANDLE_VALUE};
    UINT_PTR RenderTimerId = 0;
    UINT_PTR CloudTimerId = 0;
    UINT_PTR ClockCheckTimerId = 0;
    // The pause after a monthly map's download that installed nothing; 0 when none is under way.
    UINT_PTR SharpMapTimerId = 0;
    // When the last frame was drawn, in seconds since 1970 (UTC); 0 before the first.
    std::int64_t LastFrameTime = 0;
    ::RenderState RenderState;

    // The icon in the notification area, for as long as the application runs; its end takes
    // the icon away.
    CSystemTray tray_;
    // The hidden main window "OrbiscapeCommandSink": never shown, it keeps the message loop
    // running while it exists, and closing it ends the program.
    CCommandSink commandSink_{[this] { Shutdown(); }};
    DesktopItemMessageBoxes desktopItemPrompts_;
    CloudDownloadContext downloadContext_;
    SharpMapDownloadContext sharpMapContext_;
    // Download runs in a row that installed nothing, since the last success or apply.
    std::uint32_t failedCloudRuns_ = 0;
    std::uint32_t failedSharpMapRuns_ = 0;
    // The virtual screen's top-left corner when the last frame was drawn.
    WrapOrigin screenOrigin_{};
    // The redraw period as chosen (0 before the first apply), and the delay that the redraw
    // timer was last armed with, which is shorter than the period after a catch-up.
    std::uint32_t redrawPeriodMs_ = 0;
    std::uint32_t renderTimerDelayMs_ = 0;
    DesktopPresence presence_;
    // The last frame was drawn for a wake's first event, or because the desktop was seen again.
    bool wakeRedrawn_ = false;
    // Set by the exit command; commands that arrive after it are not carried out.
    bool shutDown_ = false;
    bool writeFailureTold_ = false;
};
