// The monthly map's download thread: fetch the map of 5400 x 2700 pixels of one month from the
// stored sources, tried in order, check it and install it (sharp_map_install.h), then hand control
// back to the main thread. It runs at idle priority, asks nothing of the user and shows nothing.
// The main thread starts it when the month it shows has no downloaded map, at most one at a time,
// and learns of its end only through ID_SHARP_MAP_DONE and whether that run installed the map.
//
// Each source gets one attempt of the cloud download's kind (cloud_map_download.h): https with
// the system's certificate checks, no redirect from https to http, an attempt bounded by its
// progress, a prompt stop, and no body longer than kMaxSharpMapBytes kept. A source whose file is
// refused by the checks counts as failed, and the next one is asked.
#pragma once

#include <windows.h>

#include <atomic>
#include <chrono>

#include "clouds/cloud_map_download.h"
#include "framework/worker_thread_win.h"
#include "settings/settings_store.h"

struct SharpMapDownloadContext {
    // Holds this thread's handle while it runs (see worker_thread_win.h). Not owned.
    WorkerSlot* WorkerThread = nullptr;
    // Where the completion command is posted.
    DWORD MainThreadId = 0;
    // The sources; the program's own key unless a test says otherwise. Not owned.
    SettingsStore* Settings = &ProgramSettingsStore();
    // The time each attempt may take; shorter only in tests.
    std::chrono::milliseconds AttemptTime = kCloudAttemptTime;
    // The month (1..12) to fetch, set by the main thread before it starts the thread.
    int Month = 0;

    // Set by the main thread when the program ends: a running download gives up within a tenth
    // of a second on the network, or after the step of its installation under way. It stays set.
    std::atomic<bool> StopRequested{false};
    // Whether the last run that ended installed the map; written before its completion command.
    std::atomic<bool> LastRunInstalled{false};
};

// The thread procedure; context is a SharpMapDownloadContext that outlives the thread's hold on
// its slot. Returns 0.
unsigned __stdcall DownloadSharpMap(void* context);
