// RenderState: the drawing parameters the application keeps between redraws. Each field is the
// working copy of the setting it is named after, except the output size, which in
// regular-wallpaper mode is the virtual screen's, and PreparedDayImage, the number of the day
// image now in "current-day.bmp". The initial values hold only until the first apply, except
// that ActiveDesktop starts at 0, so the first apply into Active Desktop mode clears the
// regular wallpaper.
#pragma once

#include <atomic>
#include <cstdint>

struct RenderState {
    // The cloud download thread reads the output size and the crop flag, without a lock, while
    // the main thread may change them. As atomics (relaxed loads and stores are enough) a read
    // that races a change gives the old or the new value, never undefined behaviour; a torn
    // pair of width and height only makes that download scale one cloud bitmap for a size that
    // the next preparation replaces.
    std::atomic<std::int32_t> Width{1280};
    std::atomic<std::int32_t> Height{1024};
    std::atomic<std::int32_t> Crop{0};

    // Main thread only.
    std::int32_t CenterOn = 0;
    std::int32_t PreparedDayImage = -1;
    std::int32_t BlackBars = 1;
    std::int32_t ActiveDesktop = 0;
    std::int32_t Clouds = 1;
    std::int32_t NighttimeImage = 13;  // 0 none, -1 the day image darkened, else a file number
    std::int32_t DaytimeImage = -1;    // -1 the current month's image, else a file number
    std::int32_t CloudFactor = 0;
};
