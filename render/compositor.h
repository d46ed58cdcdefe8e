// The day/night compositor paints one frame of the equirectangular map: for every pixel the
// sun's elevation decides between day image, night image and a blend of both in the twilight
// band, the cloud map is laid over in a brightness that follows the daylight, and the result is
// written into the output image shifted sideways so that a chosen longitude lands in the middle.
//
// The pixel work is FrameComposer's (frame_composer.h); this side takes the images. The rows are
// split over one or two threads; both only read the input images and write disjoint rows of the
// output, so no lock is needed.
#pragma once

#include <cstdint>
#include <ctime>

#include "image/dib_image.h"

// The column shift that brings the centre longitude (degrees) to the middle of a frame of the
// given width.
std::int32_t ColumnShift(double width, double centreLongitude);

// Where input column i lands in the output, for a shift within half the width either way.
std::int32_t OutputColumn(std::int32_t column, std::int32_t shift, std::int32_t width);

// Composes the frame for a moment (UTC calendar fields: zero-based month, years since 1900) on
// two threads when the machine has more than one processor, else on one. Every pixel of the
// output that lies within the day image's size is written; night and cloud images may be empty
// and of any size (beyond their edges they count as white). The centre longitude is in degrees;
// values beyond +-180 name the same meridian as their reduction. Returns 1; 0 without a day
// image (the output untouched) or when memory for the composition's tables runs out (the output
// may then be composed in part).
int ComposeDayNight(const std::tm& utc, const DibImage& day, const DibImage& night, DibImage& output,
                    const DibImage& clouds, int darkenedDay, int cloudFactor, double centreLongitude);

// The same on a given number of threads (1 or 2; other counts are brought into that range).
int ComposeDayNightOnThreads(const std::tm& utc, const DibImage& day, const DibImage& night, DibImage& output,
                             const DibImage& clouds, int darkenedDay, int cloudFactor, double centreLongitude,
                             int threadCount);
