#include "clouds/cloud_map_install.h"

#include <array>
#include <mutex>

#include "image/file_io.h"
#include "render/prepared_source.h"
#include "render/scale_image_file.h"
#include "render/working_files.h"
#include "settings/settings.h"

namespace {

constexpr bool kFit = false;
// How often the cloud source is made again for a shape that the main thread took while it was
// being made; shapes change only with the screens or the settings, so more means give up.
constexpr int kShapeAttempts = 3;

// In the order they are made: the cloud source is prepared from the new master bitmap.
constexpr std::array<FileToReplace, 3> kCloudBitmaps = {{
    {kDesktopCloudsFile, kNewDesktopCloudsFile, kKeptDesktopCloudsFile},
    {kSmallCloudsFile, kNewSmallCloudsFile, kKeptSmallCloudsFile},
    {kCurrentCloudsFile, kNewCurrentCloudsFile, kKeptCurrentCloudsFile},
}};

bool MakeNewMaps(const std::function<bool()>& stopRequested) {
    return !stopRequested() &&
           ScaleImageFile(kDownloadedCloudsFile, nullptr, kDesktopCloudsWidth, kDesktopCloudsHeight,
                          kNewDesktopCloudsFile, kFit) &&
           !stopRequested() &&
           ScaleImageFile(kDownloadedCloudsFile, nullptr, kSmallCloudsWidth, kSmallCloudsHeight,
                          kNewSmallCloudsFile, kFit);
}

void RemoveNewBitmaps() {
    for (const FileToReplace& bitmap : kCloudBitmaps) {
        RemoveFile(bitmap.Made);
    }
}

OutputShape ShapeNow(const RenderState& state) {
    const std::lock_guard lock(state.CloudFilesLock);
    return state.Shape();
}

// Makes the new cloud source for the shape of the moment and, unless that shape has changed by
// the time the lock is held, replaces the three bitmaps in use. A replacement that fails clears
// away what it made itself, or leaves it for the next start to undo.
bool MakeCloudSourceAndReplace(const RenderState& state, const std::function<bool()>& stopRequested) {
    for (int attempt = 0; attempt < kShapeAttempts; ++attempt) {
        if (stopRequested()) {
            break;
        }
        const OutputShape shape = ShapeNow(state);
        if (!PrepareSourceFile(kNewDesktopCloudsFile, kNewCurrentCloudsFile, shape) || stopRequested()) {
            break;
        }
        // Nobody prepares the cloud source or composes from it meanwhile.
        const std::lock_guard lock(state.CloudFilesLock);
        if (SameShape(state.Shape(), shape)) {
            return ReplaceFilesAsOne(kCloudBitmaps);
        }
    }
    RemoveNewBitmaps();
    return false;
}

}  // namespace

bool InstallCloudMap(RenderState& state, SettingsStore& store,
                     const std::function<std::uint64_t()>& fileTimeNow,
                     const std::function<bool()>& stopRequested) {
    if (!MakeNewMaps(stopRequested)) {
        RemoveNewBitmaps();
        return false;
    }
    if (!MakeCloudSourceAndReplace(state, stopRequested)) {
        return false;
    }
    RemoveFile(kDownloadedCloudsFile);
    StoreCloudsLastUpdated(store, fileTimeNow());
    return true;
}

ReplacementOutcome RecoverCloudInstallation() {
    const ReplacementOutcome outcome = FinishOrUndoReplacement(kCloudBitmaps);
    if (outcome == ReplacementOutcome::Finished) {
        RemoveFile(kDownloadedCloudsFile);
    }
    return outcome;
}
