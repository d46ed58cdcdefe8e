// Rendering one frame: the Earth at a moment, composed from the day, night and cloud images,
// centred on the longitude the centre code names, and fitted to the output size.
//
// With crop set the sources were scaled to cover the output and the frame is cropped to it;
// with crop off and black bars on they were scaled to fit and the frame gets bars; with both
// off the frame keeps its own size and desktop output places it.
#pragma once

#include <cstdint>

#include "image/dib_image.h"
#include "output/virtual_screen_wrap.h"
#include "render/file_frame.h"
#include "render/render_state.h"

// The drawing choices of one frame, whether they come from the settings (the desktop frame),
// from the settings dialog's controls (the preview) or from the command line.
struct FrameOptions {
    int centreCode = 0;   // a centre code: a longitude in degrees or one of the 1000s
    int outputWidth = 0;  // the size the frame is fitted to
    int outputHeight = 0;
    bool blackBars = false;
    bool crop = false;
    bool darkenedDay = false;  // the night side drawn from the day image dimmed
    int cloudFactor = 0;       // 0 to 100: how much the clouds are thinned
};

// The drawing choices of the desktop's frame, from the render state: the darkened day when the
// night image setting is -1.
FrameOptions FrameOptionsOf(const RenderState& state);

// Renders the present moment into output, which must hold a copy of the day image; night and
// cloud images may be empty. Returns 1; or 0 when the day image is empty or output does not
// measure it (output untouched), or when the frame cannot be fitted (output holds the composed
// frame at its own size).
int RenderFrame(DibImage& output, const DibImage& day, const DibImage& night, const DibImage& clouds,
                const FrameOptions& options);

// The same for a given moment, in seconds since 1970-01-01 00:00:00 UTC.
int RenderFrameAt(std::int64_t utcSeconds, DibImage& output, const DibImage& day, const DibImage& night,
                  const DibImage& clouds, const FrameOptions& options);

// The frame of RenderFrameAt made from bitmap files (night and clouds may be nullptr) straight
// into a bitmap file, row by row (file_frame.h): byte for byte the file that reading the images,
// rendering into a copy of the day image, wrapping the frame for a virtual screen with the given
// origin (WrapFrameForVirtualScreen) and saving it would give, without holding any image.
FileFrameResult RenderFileFrameAt(std::int64_t utcSeconds, const char* dayFile, const char* nightFile,
                                  const char* cloudsFile, const FrameOptions& options, WrapOrigin wrap,
                                  const char* outputFile);
