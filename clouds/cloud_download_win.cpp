#include "clouds/cloud_download_win.h"

#include <cstdlib>
#include <ctime>

#include "clouds/cloud_map_download.h"
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

void DownloadAndInstall(const CloudDownloadContext& context) {
    const CSettings settings(*context.Settings);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    WinInetCloudMapClient client(ProgramUserAgent());
    if (DownloadCloudMap(settings.URLs, client, kDownloadedCloudsFile, [] { return std::rand(); })) {
        InstallCloudMap(*context.State, *context.Settings, SystemFileTimeNow);
    }
}

}  // namespace

unsigned __stdcall DownloadClouds(void* argument) {
    const auto& context = *static_cast<const CloudDownloadContext*>(argument);
    // Running out of memory ends the download like any other failure: the completion below must
    // come in every case, or no cloud timer would ever be armed again.
    CallWithoutThrowing(
        "cloud download", [&context] { DownloadAndInstall(context); }, [] {});
    ReleaseWorkerSlot(*context.WorkerThread);
    PostThreadMessageA(context.MainThreadId, WM_COMMAND, ID_CLOUD_UPDATE_DONE, 0);
    return 0;
}
