#include "clouds/cloud_map_install.h"

#include <cstdio>
#include <mutex>

#include "render/prepared_source.h"
#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "settings/settings.h"

bool InstallCloudMap(RenderState& state, SettingsStore& store,
                     const std::function<std::uint64_t()>& fileTimeNow,
                     const std::function<bool()>& stopRequested) {
    constexpr int kFit = 0;
    const std::lock_guard lock(state.CloudFilesLock);
    if (stopRequested() || !ScaleImageFile(kDownloadedCloudsFile, nullptr, kDesktopCloudsWidth,
                                           kDesktopCloudsHeight, kDesktopCloudsFile, kFit)) {
        return false;
    }
    if (stopRequested()) {
        return false;
    }
    ScaleImageFile(kDownloadedCloudsFile, nullptr, kSmallCloudsWidth, kSmallCloudsHeight, kSmallCloudsFile,
                   kFit);
    if (stopRequested()) {
        return false;
    }
    PrepareSourceFile(kDownloadedCloudsFile, kCurrentCloudsFile, state.Shape());
    if (stopRequested()) {
        return false;
    }
    std::remove(kDownloadedCloudsFile);
    StoreCloudsLastUpdated(store, fileTimeNow());
    return true;
}
