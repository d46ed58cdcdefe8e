#include "clouds/sharp_map_download_win.h"

#include <string>
#include <vector>

#include "clouds/sharp_map_install.h"
#include "clouds/sharp_map_sources.h"
#include "clouds/wininet_client_win.h"
#include "image/file_io.h"
#include "render/working_files.h"
#include "resources/resource_ids.h"
#include "settings/settings.h"

namespace {

bool DownloadAndInstall(SharpMapDownloadContext& context) {
    // A map of the month is fetched once a month at most, and nobody waits for it.
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE);
    const CSettings settings(*context.Settings);
    const std::vector<std::string> addresses = SharpMapAddresses(settings.SharpMapSources, context.Month);
    WinInetCloudMapClient client(ProgramUserAgent());
    CloudDownloadBounds bounds;
    bounds.AttemptTime = context.AttemptTime;
    bounds.StopRequested = [&context] { return context.StopRequested.load(); };
    for (const std::string& address : addresses) {
        if (bounds.StopRequested()) {
            break;
        }
        DownloadAttempts attempt;
        attempt.Count = 1;
        attempt.MaxBytes = kMaxSharpMapBytes;
        attempt.AddressOf = [&address](int) { return &address; };
        if (DownloadFile(attempt, client, kDownloadedSharpMapFile, bounds) &&
            InstallSharpMap(context.Month, bounds.StopRequested) == SharpMapVerdict::Accepted) {
            return true;
        }
        // A cut or refused body leaves nothing behind.
        RemoveFile(kDownloadedSharpMapFile);
    }
    return false;
}

}  // namespace

unsigned __stdcall DownloadSharpMap(void* argument) {
    auto& context = *static_cast<SharpMapDownloadContext*>(argument);
    RunReportingWorker(
        "monthly map download", [&context] { return DownloadAndInstall(context); }, context.LastRunInstalled,
        *context.WorkerThread, context.MainThreadId, ID_SHARP_MAP_DONE);
    return 0;
}
