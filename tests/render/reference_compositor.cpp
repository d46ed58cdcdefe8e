#include "tests/render/reference_compositor.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "render/compositor.h"
#include "render/pixel_blend.h"
#include "render/solar_position.h"

namespace {

ColourValue NightPixel(const CompositeJob& job, int column, int row) {
    if (job.darkenedDay != 0) {
        return DarkenedDayPixel(job.dayImage.GetPixelColour(column, row));
    }
    return job.nightImage.GetPixelColour(column, row);
}

}  // namespace

void ComposeColumns(const CompositeJob& job) {
    const auto frameWidth = static_cast<std::int32_t>(job.width);
    const int lastRow = static_cast<int>(std::trunc(job.height)) - 1;
    const bool hasNightSide = job.nightImage.HasPixels() || job.darkenedDay != 0;
    const bool hasClouds = job.cloudImage.HasPixels();

    for (std::int32_t column = job.firstColumn; column <= job.lastColumn; ++column) {
        const double longitude = column / job.width * 360.0 - 180.0;
        const SolarState solar =
            ComputeSolarGeometry(job.day, job.month, job.year, job.hour, job.minute, job.second, longitude);
        const std::int32_t outputColumn = OutputColumn(column, job.shift, frameWidth);

        for (int row = lastRow; row >= 0; --row) {
            const double elevation =
                hasNightSide ? SunElevation(solar, 90.0 - row / job.height * 180.0) : 90.0;
            const double dayWeight = DayWeight(elevation);
            const int cloud = hasClouds
                                  ? ApplyCloudFactor(CloudValueOf(job.cloudImage.GetPixelColour(column, row)),
                                                     job.cloudFactor)
                                  : 0;
            ColourValue result;
            if (dayWeight == 1.0) {
                result = CloudOver(job.dayImage.GetPixelColour(column, row), cloud, kDayCloudBrightness);
            } else if (dayWeight == 0.0) {
                result = CloudOver(NightPixel(job, column, row), cloud, kNightCloudBrightness);
            } else {
                result = TwilightPixel(dayWeight, cloud, job.dayImage.GetPixelColour(column, row),
                                       NightPixel(job, column, row));
            }
            job.outputImage.SetPixelColour(outputColumn, row, result);
        }
    }
}

void ReferenceComposeDayNight(const std::tm& utc, const DibImage& day, const DibImage& night,
                              DibImage& output, const DibImage& clouds, int darkenedDay, int cloudFactor,
                              double centreLongitude, int threadCount) {
    if (!day.HasPixels()) {
        return;
    }
    const double width = day.Width();
    const double height = day.Height();
    const CompositeJob job{
        height,
        width,
        ColumnShift(width, centreLongitude),
        0,
        static_cast<std::int32_t>(std::trunc(width - 1.0)),
        darkenedDay,
        day,
        night,
        clouds,
        output,
        utc.tm_mday,
        utc.tm_mon + 1,
        utc.tm_year + 1900,
        utc.tm_hour,
        utc.tm_min,
        utc.tm_sec,
        cloudFactor,
    };
    if (std::clamp(threadCount, 1, 2) == 1 || job.lastColumn < 1) {
        ComposeColumns(job);
        return;
    }
    CompositeJob firstHalf = job;
    firstHalf.lastColumn = job.lastColumn / 2;
    CompositeJob secondHalf = job;
    secondHalf.firstColumn = firstHalf.lastColumn + 1;
    std::thread helper(ComposeColumns, std::cref(secondHalf));
    ComposeColumns(firstHalf);
    helper.join();
}
