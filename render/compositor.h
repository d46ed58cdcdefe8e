// The day/night compositor paints one frame of the equirectangular map: for every pixel the
// sun's elevation decides between day image, night image and a blend of both in the twilight
// band, the cloud map is laid over in a brightness that follows the daylight, and the result is
// written into the output image shifted sideways so that a chosen longitude lands in the middle.
//
// The work is split by columns over one or two threads. Both threads only read the input
// images, and the column shift maps distinct input columns to distinct output columns, so no
// lock is needed.
#pragma once

#include <cstdint>
#include <ctime>

#include "image/dib_image.h"

// What one worker composes. The second thread gets its own copy.
struct CompositeJob {
    double height;               // rows of the frame: the day image's height
    double width;                // columns of the frame: the day image's width
    std::int32_t shift;          // output column = input column - shift, wrapped into the frame
    std::int32_t firstColumn;    // inclusive
    std::int32_t lastColumn;     // inclusive
    std::int32_t darkenedDay;    // nonzero: no night image; the night side is the day image dimmed
    const DibImage& dayImage;    // also fixes the frame size
    const DibImage& nightImage;  // may be empty
    const DibImage& cloudImage;  // may be empty
    DibImage& outputImage;       // same size as the day image
    std::int32_t day;            // UTC day of the month, 1..31
    std::int32_t month;          // UTC month, 1..12
    std::int32_t year;           // UTC full year
    std::int32_t hour;           // UTC
    std::int32_t minute;         // UTC
    std::int32_t second;         // UTC
    std::int32_t cloudFactor;    // 0 leaves the cloud values unchanged
};

// The column shift that brings the centre longitude (degrees) to the middle of a frame of the
// given width.
std::int32_t ColumnShift(double width, double centreLongitude);

// Where input column i lands in the output, for a shift within half the width either way.
std::int32_t OutputColumn(std::int32_t column, std::int32_t shift, std::int32_t width);

// Composes the job's columns, firstColumn..lastColumn.
void ComposeColumns(const CompositeJob& job);

// Composes the frame for a moment (UTC calendar fields: zero-based month, years since 1900) on
// two threads when the machine has more than one processor, else on one. The output image
// should hold a copy of the day image; night and cloud images may be empty. The centre
// longitude is in degrees; values beyond +-180 name the same meridian as their reduction.
void ComposeDayNight(const std::tm& utc, const DibImage& day, const DibImage& night, DibImage& output,
                     const DibImage& clouds, int darkenedDay, int cloudFactor, double centreLongitude);

// The same on a given number of threads (1 or 2; other counts are brought into that range).
void ComposeDayNightOnThreads(const std::tm& utc, const DibImage& day, const DibImage& night,
                              DibImage& output, const DibImage& clouds, int darkenedDay, int cloudFactor,
                              double centreLongitude, int threadCount);
