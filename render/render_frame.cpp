#include "render/render_frame.h"

#include <ctime>

#include "image/last_error.h"
#include "render/centre_longitude.h"
#include "render/compositor.h"
#include "render/frame_fitting.h"
#include "render/time_zone.h"
#include "render/utc_clock.h"

int RenderFrame(DibImage& output, int centreCode, int outputWidth, int outputHeight, const DibImage& day,
                const DibImage& night, const DibImage& clouds, int blackBars, int crop, int darkenedDay,
                int cloudFactor) {
    return RenderFrameAt(CurrentUtcSeconds(), output, centreCode, outputWidth, outputHeight, day, night,
                         clouds, blackBars, crop, darkenedDay, cloudFactor);
}

int RenderFrameAt(std::int64_t utcSeconds, DibImage& output, int centreCode, int outputWidth,
                  int outputHeight, const DibImage& day, const DibImage& night, const DibImage& clouds,
                  int blackBars, int crop, int darkenedDay, int cloudFactor) {
    // The compositor writes every pixel of the day image's size into output; a smaller output
    // would lose columns, a larger one keep stale ones.
    if (!day.HasPixels() || output.Width() != day.Width() || output.Height() != day.Height()) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    const std::tm utc = BreakDownUtc(utcSeconds);
    const double centre = CentreLongitude(centreCode, utc, StandardTimeOffsetSeconds());
    ComposeDayNight(utc, day, night, output, clouds, darkenedDay, cloudFactor, centre);

    const bool fitted = output.Width() == outputWidth && output.Height() == outputHeight;
    if (fitted || (blackBars == 0 && crop == 0)) {
        return 1;
    }
    return FitFrameToOutput(output, outputWidth, outputHeight);
}
