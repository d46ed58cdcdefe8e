#include "clouds/cloud_map_install.h"

#include <array>
#include <mutex>

#include "clouds/file_set_replacement.h"
#include "image/file_io.h"
#include "render/prepared_source.h"
#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "settings/settings.h"

namespace {

constexpr bool kFit = false;

// In the order they are made: the cloud source is prepared from the new master bitmap.
constexpr std::array<FileToReplace, 3> kCloudBitmaps = {{
    {kDesktopCloudsFile, kNewDesktopCloudsFile, kKeptDesktopCloudsFile},
    {kSmallCloudsFile, kNewSmallCloudsFile, kKeptSmallCloudsFile},
    {kCurrentCloudsFile, kNewCurrentCloudsFile, kKeptCurrentCloudsFile},
}};

bool MakeNewBitmaps(const RenderState& state, const std::function<bool()>& stopRequested) {
    return !stopRequested() &&
           ScaleImageFile(kDownloadedCloudsFile, nullptr, kDesktopCloudsWidth, kDesktopCloudsHeight,
                          kNewDesktopCloudsFile, kFit) &&
           !stopRequested() &&
           ScaleImageFile(kDownloadedCloudsFile, nullptr, kSmallCloudsWidth, kSmallCloudsHeight,
                          kNewSmallCloudsFile, kFit) &&
           !stopRequested() &&
           PrepareSourceFile(kNewDesktopCloudsFile, kNewCurrentCloudsFile, state.Shape()) && !stopRequested();
}

}  // namespace

bool InstallCloudMap(RenderState& state, SettingsStore& store,
                     const std::function<std::uint64_t()>& fileTimeNow,
                     const std::function<bool()>& stopRequested) {
    const std::lock_guard lock(state.CloudFilesLock);
    if (!MakeNewBitmaps(state, stopRequested) || !ReplaceFilesAsOne(kCloudBitmaps)) {
        for (const FileToReplace& bitmap : kCloudBitmaps) {
            RemoveFile(bitmap.Made);
        }
        return false;
    }
    RemoveFile(kDownloadedCloudsFile);
    StoreCloudsLastUpdated(store, fileTimeNow());
    return true;
}
