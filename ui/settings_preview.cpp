#include "ui/settings_preview.h"

#include <string>

#include "image/dib_image.h"
#include "render/render_frame.h"
#include "render/scale_image_file.h"
#include "render/utc_clock.h"
#include "render/working_files.h"

namespace {

// The number of the day image to show: the chosen one, or for "auto-select" the month's.
int DayImageNumber(const SettingsChoices& choices, std::int64_t utcSeconds) {
    return choices.daytimeImage == -1 ? BreakDownUtc(utcSeconds).tm_mon + 1 : choices.daytimeImage;
}

}  // namespace

bool WritePreviewFile(const SettingsChoices& choices, int width, int height, std::int64_t utcSeconds) {
    const bool crop = CropsFrame(choices);
    DibImage day, night, clouds;
    const std::string dayFile = PreviewDayMapFile(DayImageNumber(choices, utcSeconds), choices.sharpMaps);
    if (!ScaleImageFile(dayFile.c_str(), &day, width, height, nullptr, crop)) {
        return false;
    }
    // A layer that does not load stays empty and is left out of the picture.
    if (choices.nighttimeImage >= 1) {
        const std::string nightFile = PreviewImageFile(choices.nighttimeImage);
        ScaleImageFile(nightFile.c_str(), &night, width, height, nullptr, crop);
    }
    if (choices.clouds) {
        ScaleImageFile(kSmallCloudsFile, &clouds, width, height, nullptr, crop);
    }

    FrameOptions options;
    options.centreCode = choices.centreOn;
    options.outputWidth = width;
    options.outputHeight = height;
    options.blackBars = choices.blackBars;
    options.crop = crop != 0;
    options.darkenedDay = choices.nighttimeImage == -1;
    options.cloudFactor = choices.cloudFactor;
    DibImage frame;
    if (!frame.Copy(day) || !RenderFrameAt(utcSeconds, frame, day, night, clouds, options)) {
        return false;
    }
    return frame.SaveBmpFile(kPreviewFrameFile) != 0;
}
