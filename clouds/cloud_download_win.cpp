#include "clouds/cloud_download_win.h"

#include <cstdlib>
#include <ctime>

#include "clouds/cloud_map_install.h"
#include "clouds/wininet_client_win.h"
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
    RunReportingWorker(
        "cloud download", [&context] { return DownloadAndInstall(context); }, context.LastRunInstalled,
        *context.WorkerThread, context.MainThreadId, ID_CLOUD_UPDATE_DONE);
    return 0;
}
