// The cloud download thread: fetch the latest cloud map from the mirror list, install it as the
// cloud bitmaps, and hand control back to the main thread. The main thread starts it from the
// cloud timer, at most one at a time, and learns of its end only through ID_CLOUD_UPDATE_DONE
// and whether that run installed a map; no window or message is shown.
//
// The thread shares with the main thread only what its context points to or holds: the slot of
// its own thread handle, which it empties with one atomic exchange at its end; the render state,
// whose output shape it reads, and whose cloud-file lock it holds while it puts its new bitmaps
// in place (see render_state.h); the request to stop; and the outcome of the run. The settings
// are read from the store when the thread starts, so changes made while it runs count from the
// next run.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>

#include "clouds/cloud_map_download.h"
#include "render/render_state.h"
#include "settings/settings_store.h"

struct CloudDownloadContext {
    // Holds this thread's handle while it runs, INVALID_HANDLE_VALUE otherwise. The thread must
    // already be there when the thread starts running (start it suspended). Not owned.
    std::atomic<HANDLE>* WorkerThread = nullptr;
    // Not owned.
    RenderState* State = nullptr;
    // Where the completion command is posted.
    DWORD MainThreadId = 0;
    // The settings and the time of the last update; the program's own key unless a test says
    // otherwise. Not owned.
    SettingsStore* Settings = &ProgramSettingsStore();
    // The time each attempt may take; shorter only in tests.
    std::chrono::milliseconds AttemptTime = kCloudAttemptTime;

    // Set by the main thread when the program ends: a running download gives up within a tenth
    // of a second on the network, or after the step of its installation under way, installs
    // nothing, and ends. It stays set.
    std::atomic<bool> StopRequested{false};
    // Whether the last run that ended installed a map; written before its completion command.
    std::atomic<bool> LastRunInstalled{false};
};

// The thread procedure; context is a CloudDownloadContext that outlives the thread's hold on its
// slot. Downloads and installs the cloud map, records the outcome, then, whatever it was,
// empties the WorkerThread slot, closes the handle it took from there and posts
// ID_CLOUD_UPDATE_DONE (WM_COMMAND, lParam 0) to the main thread. Once the slot is empty the
// context is no longer touched: its owner may be gone. Returns 0.
//
// The handle is closed exactly once because the slot is emptied only by exchanges: this one, and
// the one with which the program's exit takes a worker that is still running, to wait for it
// and close it itself. Whoever takes the real handle out closes it; the other finds
// INVALID_HANDLE_VALUE and closes nothing.
unsigned __stdcall DownloadClouds(void* context);
