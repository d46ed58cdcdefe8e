#include "render/prepare_sources.h"

#include <ctime>
#include <mutex>
#include <string>

#include "render/scale_image_file.h"
#include "render/utc_clock.h"
#include "render/working_files.h"

bool PrepareSourceFile(const std::string& sourceFile, const char* preparedFile, const RenderState& state) {
    return ScaleImageFile(sourceFile.c_str(), nullptr, state.Width.load(std::memory_order_relaxed),
                          state.Height.load(std::memory_order_relaxed), preparedFile,
                          state.Crop.load(std::memory_order_relaxed)) != 0;
}

void PrepareSources(RenderState& state, bool force) {
    PrepareSourcesAt(CurrentUtcSeconds(), state, force);
}

void PrepareSourcesAt(std::int64_t utcSeconds, RenderState& state, bool force) {
    const int month = BreakDownUtc(utcSeconds).tm_mon + 1;
    const int dayImage = state.DaytimeImage == -1 ? month : state.DaytimeImage;
    if (!force && dayImage == state.PreparedDayImage) {
        return;
    }
    state.PreparedDayImage = dayImage;

    PrepareSourceFile(DesktopImageFile(state.PreparedDayImage), kCurrentDayFile, state);
    if (state.NighttimeImage >= 1) {
        PrepareSourceFile(DesktopImageFile(state.NighttimeImage), kCurrentNightFile, state);
    }
    if (state.Clouds != 0) {
        // The cloud download may be replacing the master bitmap and the cloud source right now.
        const std::lock_guard lock(state.CloudFilesLock);
        PrepareSourceFile(kDesktopCloudsFile, kCurrentCloudsFile, state);
    }
}
