// The day/night compositor exactly as its algorithm is written: column by column, the whole
// solar computation for every column, the elevation of every pixel, every pixel through the
// image's pixel accessors. Slow, and kept only as the reference that the program's compositor
// must match byte for byte, and as the baseline of the benchmark.
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

// Composes the job's columns, firstColumn..lastColumn.
void ComposeColumns(const CompositeJob& job);

// The whole frame on one or two threads, split by columns.
void ReferenceComposeDayNight(const std::tm& utc, const DibImage& day, const DibImage& night,
                              DibImage& output, const DibImage& clouds, int darkenedDay, int cloudFactor,
                              double centreLongitude, int threadCount);
