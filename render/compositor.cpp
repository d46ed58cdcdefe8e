#include "render/compositor.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <optional>
#include <thread>

#include "render/pixel_blend.h"
#include "render/processor_count.h"
#include "render/solar_position.h"

namespace {

// Brings a longitude into -180..180 without touching values already there; anything that is not
// a number centres on Greenwich. Beyond that range one wrap of the output column would not
// suffice, and a column would stay unwritten.
double CentreWithinHalfTurn(double longitude) {
    if (!std::isfinite(longitude)) {
        return 0.0;
    }
    if (longitude >= -180.0 && longitude <= 180.0) {
        return longitude;
    }
    return longitude - 360.0 * std::floor((longitude + 180.0) / 360.0);
}

ColourValue NightPixel(const CompositeJob& job, int column, int row) {
    if (job.darkenedDay != 0) {
        return DarkenedDayPixel(job.dayImage.GetPixelColour(column, row));
    }
    return job.nightImage.GetPixelColour(column, row);
}

}  // namespace

std::int32_t ColumnShift(double width, double centreLongitude) {
    return static_cast<std::int32_t>(std::trunc(width / 360.0 * CentreWithinHalfTurn(centreLongitude)));
}

std::int32_t OutputColumn(std::int32_t column, std::int32_t shift, std::int32_t width) {
    std::int32_t outputColumn = column - shift;
    if (outputColumn >= width) {
        outputColumn -= width;
    }
    if (outputColumn < 0) {
        outputColumn += width;
    }
    return outputColumn;
}

void ComposeColumns(const CompositeJob& job) {
    const auto frameWidth = static_cast<std::int32_t>(job.width);
    const int lastRow = static_cast<int>(std::trunc(job.height)) - 1;
    // Without a night side the whole map is day and no elevation is needed.
    const bool hasNightSide = job.nightImage.HasPixels() || job.darkenedDay != 0;
    const bool hasClouds = job.cloudImage.HasPixels();

    for (std::int32_t column = job.firstColumn; column <= job.lastColumn; ++column) {
        // The longitude of the column's left edge; column 0 is -180.
        const double longitude = column / job.width * 360.0 - 180.0;
        ComputeSolarGeometry(job.day, job.month, job.year, job.hour, job.minute, job.second, longitude);
        const std::int32_t outputColumn = OutputColumn(column, job.shift, frameWidth);

        for (int row = lastRow; row >= 0; --row) {
            const double elevation = hasNightSide ? SunElevation(90.0 - row / job.height * 180.0) : 90.0;
            const double dayWeight = DayWeight(elevation);
            // The factor only thins or thickens clouds that are there: without a cloud map a
            // negative factor must not cover the map in cloud.
            const int cloud = hasClouds
                                  ? ApplyCloudFactor(CloudValueOf(job.cloudImage.GetPixelColour(column, row)),
                                                     job.cloudFactor)
                                  : 0;
            // Each path reads only the pixels it uses.
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

void ComposeDayNightOnThreads(const std::tm& utc, const DibImage& day, const DibImage& night,
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

    const std::int32_t middle = job.lastColumn / 2;
    CompositeJob firstHalf = job;
    firstHalf.lastColumn = middle;
    CompositeJob secondHalf = job;
    secondHalf.firstColumn = middle + 1;

    std::optional<std::thread> helper;
    try {
        helper.emplace(ComposeColumns, std::cref(secondHalf));
    } catch (const std::exception&) {
        // No second thread to be had: this thread composes both halves.
    }
    ComposeColumns(firstHalf);
    if (helper) {
        helper->join();
    } else {
        ComposeColumns(secondHalf);
    }
}

void ComposeDayNight(const std::tm& utc, const DibImage& day, const DibImage& night, DibImage& output,
                     const DibImage& clouds, int darkenedDay, int cloudFactor, double centreLongitude) {
    const int threadCount = ProcessorCount() > 1 ? 2 : 1;
    ComposeDayNightOnThreads(utc, day, night, output, clouds, darkenedDay, cloudFactor, centreLongitude,
                             threadCount);
}
