#include "clouds/cloud_download_win.h"

#include <cstdlib>
#include <ctime>

#include "clouds/cloud_map_install.h"
#include "clouds/wininet_client_win.h"
#include "framework/exception_barrier.h"
#include "framework/worker_thread_win.h"
#include "render/working_files.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"

namespace {

std::uint64_t SystemFileTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return static_cast<std::uint64_t>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
}

bool DownloadAndInstall(CloudDownloadContext& context) {
    const CSettings settings(*context.Settings);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    WinInetCloudMapClient client(ProgramUserAgent());
    CloudDownloadBounds bounds;
    bounds.AttemptTime = context.AttemptTime;
    bounds.StopRequested = [&context] { return context.StopRequested.load(); };
    return DownloadCloudMap(
               settings.URLs, client, kDownloadedCloudsFile, [] { return std::rand(); }, bounds) &&
           InstallCloudMap(*context.State, *context.Settings, SystemFileTimeNow, bounds.StopRequested);
}

}  // namespace

unsigned __stdcall DownloadClouds(void* argument) {
    auto& context = *static_cast<CloudDownloadContext*>(argument);
    // Running out of memory ends the download like any other failure: the completion below must
    // come in every case, or no cloud timer would ever be armed again.
    context.LastRunInstalled = CallWithoutThrowing(
        "cloud download", [&context] { return DownloadAndInstall(context); }, [] { return false; });
    const DWORD mainThreadId = context.MainThreadId;
    ReleaseWorkerSlot(*context.WorkerThread);
    PostThreadMessageA(mainThreadId, WM_COMMAND, ID_CLOUD_UPDATE_DONE, 0);
    return 0;
}
