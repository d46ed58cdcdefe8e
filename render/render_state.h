// RenderState: the drawing parameters the application keeps between redraws. Each field is the
// working copy of the setting it is named after, except the output size, which in
// regular-wallpaper mode is the virtual screen's, PreparedDayImage, the number of the day image
// now in "current-day.bmp", and the cut of the prepared sources. The initial values hold only
// until the first apply, except that ActiveDesktop starts at 0, so the first apply into Active
// Desktop mode clears the regular wallpaper.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "render/source_cut.h"

// PreparedDayImage before the first preparation, and after one that failed: no day image
// number is -1, so the next pass prepares again.
inline constexpr std::int32_t kNothingPrepared = -1;

struct RenderState {
    // The output shape: size and crop flag. The main thread changes it, and the cloud download
    // thread reads it to scale its new cloud source. The main thread changes it only through
    // SetOutputShape, which holds CloudFilesLock, and the download reads it while it holds the
    // lock too, so it sees the whole of one shape, never the width of one and the height of
    // another. (The atomics only keep a stray unlocked read defined.)
    std::atomic<std::int32_t> Width{1280};
    std::atomic<std::int32_t> Height{1024};
    std::atomic<std::int32_t> Crop{0};

    // One writer at a time for the cloud bitmaps in use, which both threads write: the main thread
    // holds it while it makes "current-clouds.bmp" from the master bitmap, from the first read to
    // the last write, and the cloud download while it puts its new bitmaps, made beforehand
    // without it, in place of the three in use, so that neither thread's older result can land
    // over the other's newer one. A redraw holds it while it composes from "current-clouds.bmp",
    // which it keeps open meanwhile. No reader needs it otherwise: no name in use is ever empty.
    mutable std::mutex CloudFilesLock;

    // How the prepared sources are cut for the present output shape (source_cut.h): the centre
    // whose columns they keep (kMovingCentre: every column) and the size of the scaled day map,
    // which is the frame's. PrepareSources sets them and SetOutputShape forgets them, both on the
    // main thread and holding CloudFilesLock, under which the cloud download reads them to cut its
    // new cloud source like the others.
    double KeptCentre = kMovingCentre;
    ImageSize FrameMap{};

    // Main thread: takes a new output shape, waiting for a cloud installation's renames to end.
    void SetOutputShape(std::int32_t width, std::int32_t height, std::int32_t crop) {
        const std::lock_guard lock(CloudFilesLock);
        Width = width;
        Height = height;
        Crop = crop;
        KeptCentre = kMovingCentre;
        FrameMap = {};
    }

    // The output shape with the cut of the prepared sources; on the main thread, or with
    // CloudFilesLock held.
    OutputShape Shape() const {
        return {Width.load(), Height.load(), Crop.load() != 0, KeptCentre, FrameMap};
    }

    // Main thread only.
    std::int32_t CenterOn = 0;
    std::int32_t PreparedDayImage = kNothingPrepared;
    std::int32_t BlackBars = 1;
    std::int32_t ActiveDesktop = 0;
    std::int32_t Clouds = 1;
    std::int32_t NighttimeImage = 13;  // 0 none, -1 the day image darkened, else a file number
    std::int32_t DaytimeImage = -1;    // -1 the current month's image, else a file number
    std::int32_t SharpMaps = 0;        // a month's downloaded map, once there, in place of the delivered one
    std::int32_t CloudFactor = 0;
};
