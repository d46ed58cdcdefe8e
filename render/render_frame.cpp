#include "render/render_frame.h"

#include <ctime>

#include "image/last_error.h"
#include "render/centre_longitude.h"
#include "render/compositor.h"
#include "render/frame_fitting.h"
#include "render/processor_count.h"
#include "render/time_zone.h"
#include "render/utc_clock.h"

FrameOptions FrameOptionsOf(const RenderState& state) {
    FrameOptions options;
    options.centreCode = state.CenterOn;
    options.outputWidth = state.Width.load(std::memory_order_relaxed);
    options.outputHeight = state.Height.load(std::memory_order_relaxed);
    options.blackBars = state.BlackBars != 0;
    options.crop = state.Crop.load(std::memory_order_relaxed) != 0;
    options.darkenedDay = state.NighttimeImage == -1;
    options.cloudFactor = state.CloudFactor;
    return options;
}

int RenderFrame(DibImage& output, const DibImage& day, const DibImage& night, const DibImage& clouds,
                const FrameOptions& options) {
    return RenderFrameAt(CurrentUtcSeconds(), output, day, night, clouds, options);
}

int RenderFrameAt(std::int64_t utcSeconds, DibImage& output, const DibImage& day, const DibImage& night,
                  const DibImage& clouds, const FrameOptions& options) {
    // The compositor writes every pixel of the day image's size into output; a smaller output
    // would lose columns, a larger one keep stale ones.
    if (!day.HasPixels() || output.Width() != day.Width() || output.Height() != day.Height()) {
        SetImageLastError(LastError::InvalidParameter);
        return 0;
    }
    const std::tm utc = BreakDownUtc(utcSeconds);
    const double centre = CentreLongitude(options.centreCode, utc, StandardTimeOffsetSeconds());
    if (!ComposeDayNight(utc, day, night, output, clouds, options.darkenedDay ? 1 : 0, options.cloudFactor,
                         centre)) {
        SetImageLastError(LastError::OutOfMemory);
        return 0;
    }

    const bool fitted = output.Width() == options.outputWidth && output.Height() == options.outputHeight;
    if (fitted || (!options.blackBars && !options.crop)) {
        return 1;
    }
    return FitFrameToOutput(output, options.outputWidth, options.outputHeight);
}

FileFrameResult RenderFileFrameAt(std::int64_t utcSeconds, const char* dayFile, const char* nightFile,
                                  const char* cloudsFile, const FrameOptions& options, WrapOrigin wrap,
                                  const char* outputFile) {
    const std::tm utc = BreakDownUtc(utcSeconds);
    FileFrameJob job{};
    job.dayFile = dayFile;
    job.nightFile = nightFile;
    job.cloudsFile = cloudsFile;
    job.utc = utc;
    job.centreLongitude = CentreLongitude(options.centreCode, utc, StandardTimeOffsetSeconds());
    job.darkenedDay = options.darkenedDay;
    job.cloudFactor = options.cloudFactor;
    job.fit = options.blackBars || options.crop;
    job.outputWidth = options.outputWidth;
    job.outputHeight = options.outputHeight;
    job.wrapOriginX = wrap.x;
    job.wrapOriginY = wrap.y;
    job.outputFile = outputFile;
    return RenderFileFrame(job, ProcessorCount() > 1 ? 2 : 1);
}
