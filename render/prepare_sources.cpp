#include "render/prepare_sources.h"

#include <cmath>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>

#include "image/last_error.h"
#include "render/centre_longitude.h"
#include "render/prepared_source.h"
#include "render/time_zone.h"
#include "render/utc_clock.h"
#include "render/working_files.h"

namespace {

// The centre longitude the frames keep all day, or kMovingCentre.
double FixedCentre(const RenderState& state, const std::tm& utc) {
    return CentreMovesWithTime(state.CenterOn)
               ? kMovingCentre
               : CentreLongitude(state.CenterOn, utc, StandardTimeOffsetSeconds());
}

// Makes the prepared files one after the other, remembering the reason of the first failure.
class Preparation {
  public:
    bool Make(const std::string& sourceFile, const char* preparedFile, const OutputShape& shape,
              PreparedCut* cut = nullptr) {
        if (PrepareSourceFile(sourceFile.c_str(), preparedFile, shape, cut)) {
            return true;
        }
        if (!firstFailure_) {
            firstFailure_.emplace();
        }
        return false;
    }

    // True when every file was made; otherwise the thread's error is the first failure's again.
    bool Result() const {
        if (firstFailure_) {
            firstFailure_->Restore();
        }
        return !firstFailure_;
    }

  private:
    std::optional<SavedThreadError> firstFailure_;
};

}  // namespace

bool PrepareSources(RenderState& state, bool force) {
    return PrepareSourcesAt(CurrentUtcSeconds(), state, force);
}

bool PrepareSourcesAt(std::int64_t utcSeconds, RenderState& state, bool force) {
    const std::tm utc = BreakDownUtc(utcSeconds);
    const int dayImage = state.DaytimeImage == -1 ? utc.tm_mon + 1 : state.DaytimeImage;
    const double centre = FixedCentre(state, utc);
    const bool centreMoved = !std::isnan(state.KeptCentre) && !SameCentre(state.KeptCentre, centre);
    if (!force && dayImage == state.PreparedDayImage && !centreMoved) {
        return true;
    }
    state.PreparedDayImage = kNothingPrepared;

    Preparation preparation;
    OutputShape dayShape = state.Shape();
    dayShape.fixedCentre = centre;
    dayShape.frameMap = {};
    PreparedCut dayCut{};
    const bool dayMade = preparation.Make(DesktopDayMapFile(dayImage, state.SharpMaps != 0), kCurrentDayFile,
                                          dayShape, &dayCut);
    {
        // The night and cloud sources, and any cloud source a download makes from now on, are cut
        // like the day source, from which the frame takes its size.
        const std::lock_guard lock(state.CloudFilesLock);
        const bool columnsCut = dayMade && dayCut.part.width < dayCut.map.width;
        state.KeptCentre = columnsCut ? centre : kMovingCentre;
        state.FrameMap = dayMade ? dayCut.map : ImageSize{};
    }
    if (state.NighttimeImage >= 1) {
        preparation.Make(DesktopImageFile(state.NighttimeImage), kCurrentNightFile, state.Shape());
    }
    if (state.Clouds != 0) {
        // The cloud download may be replacing the master bitmap and the cloud source right now.
        const std::lock_guard lock(state.CloudFilesLock);
        preparation.Make(kDesktopCloudsFile, kCurrentCloudsFile, state.Shape());
    }
    if (!preparation.Result()) {
        return false;
    }
    state.PreparedDayImage = dayImage;
    return true;
}
