// Rendering one frame: the Earth at a moment, composed from the day, night and cloud images,
// centred on the longitude the centre code names, and fitted to the output size.
//
// With crop set the sources were scaled to cover the output and the frame is cropped to it;
// with crop off and black bars on they were scaled to fit and the frame gets bars; with both
// off the frame keeps its own size and desktop output places it.
#pragma once

#include <cstdint>

#include "image/dib_image.h"

// Renders the present moment into output, which must hold a copy of the day image; night and
// cloud images may be empty. darkenedDay draws the night side from the day image dimmed.
// Returns 1; or 0 when the day image is empty or output does not measure it (output untouched),
// or when the frame cannot be fitted (output holds the composed frame at its own size).
int RenderFrame(DibImage& output, int centreCode, int outputWidth, int outputHeight, const DibImage& day,
                const DibImage& night, const DibImage& clouds, int blackBars, int crop, int darkenedDay,
                int cloudFactor);

// The same for a given moment, in seconds since 1970-01-01 00:00:00 UTC.
int RenderFrameAt(std::int64_t utcSeconds, DibImage& output, int centreCode, int outputWidth,
                  int outputHeight, const DibImage& day, const DibImage& night, const DibImage& clouds,
                  int blackBars, int crop, int darkenedDay, int cloudFactor);
