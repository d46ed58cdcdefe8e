#include "clouds/cloud_map_install.h"

#include <cstdio>

#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "settings/settings.h"

bool InstallCloudMap(const RenderState& state, SettingsStore& store,
                     const std::function<std::uint64_t()>& fileTimeNow) {
    constexpr int kFit = 0;
    if (!ScaleImageFile(kDownloadedCloudsFile, nullptr, kDesktopCloudsWidth, kDesktopCloudsHeight,
                        kDesktopCloudsFile, kFit)) {
        return false;
    }
    ScaleImageFile(kDownloadedCloudsFile, nullptr, kSmallCloudsWidth, kSmallCloudsHeight, kSmallCloudsFile,
                   kFit);
    const int width = state.Width.load(std::memory_order_relaxed);
    const int height = state.Height.load(std::memory_order_relaxed);
    const int crop = state.Crop.load(std::memory_order_relaxed) != 0 ? 1 : 0;
    ScaleImageFile(kDownloadedCloudsFile, nullptr, width, height, kCurrentCloudsFile, crop);

    std::remove(kDownloadedCloudsFile);
    StoreCloudsLastUpdated(store, fileTimeNow());
    return true;
}
