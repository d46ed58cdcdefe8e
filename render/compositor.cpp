#include "render/compositor.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <exception>
#include <optional>
#include <thread>
#include <vector>

#include "image/pixel_buffer.h"
#include "render/frame_composer.h"
#include "render/processor_count.h"
#include "render/stored_rows.h"

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

struct ImageSources {
    const DibImage& day;
    const DibImage& night;
    const DibImage& clouds;
    bool darkenedDay;
};

// Composes rows firstRow .. endRow - 1 into the output. False when memory for a row runs out.
bool ComposeImageRows(const FrameComposer& composer, const ImageSources& images, DibImage& output,
                      int firstRow, int endRow) {
    const int width = composer.Width();
    StoredRowReader day, night, clouds;
    std::vector<std::uint8_t> scratch;
    const bool direct =
        IsStoredPixelLayout(output) && output.Width() == width && output.Height() == composer.Height();
    try {
        day.Open(images.day, width);
        if (images.night.HasPixels() && !images.darkenedDay) {
            night.Open(images.night, width);
        }
        if (images.clouds.HasPixels()) {
            clouds.Open(images.clouds, width);
        }
        if (!direct) {
            scratch.resize(4 * static_cast<std::size_t>(width));
        }
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int row = firstRow; row < endRow; ++row) {
        const SourceRows sources{day.Row(row), night.Row(row), clouds.Row(row)};
        if (direct) {
            composer.ComposeRow(row, sources, 0, width, output.Row(row));
            continue;
        }
        composer.ComposeRow(row, sources, 0, width, scratch.data());
        for (int column = 0; column < width; ++column) {
            std::uint32_t pixel;
            std::memcpy(&pixel, scratch.data() + 4 * static_cast<std::size_t>(column), sizeof pixel);
            output.SetPixelColour(column, row, ColourOfPixel(pixel));
        }
    }
    return true;
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

int ComposeDayNightOnThreads(const std::tm& utc, const DibImage& day, const DibImage& night, DibImage& output,
                             const DibImage& clouds, int darkenedDay, int cloudFactor, double centreLongitude,
                             int threadCount) {
    if (!day.HasPixels()) {
        return 0;
    }
    const CompositionSettings settings{
        utc,         day.Width(),     day.Height(), night.HasPixels() || darkenedDay != 0, darkenedDay != 0,
        cloudFactor, centreLongitude,
    };
    FrameComposer composer;
    if (!composer.Prepare(settings)) {
        return 0;
    }
    const ImageSources images{day, night, clouds, darkenedDay != 0};
    const int height = composer.Height();
    if (std::clamp(threadCount, 1, 2) == 1 || height < 2) {
        return ComposeImageRows(composer, images, output, 0, height) ? 1 : 0;
    }

    const int middle = height / 2;
    std::atomic<bool> secondHalfComposed{false};
    std::optional<std::thread> helper;
    try {
        helper.emplace(
            [&] { secondHalfComposed = ComposeImageRows(composer, images, output, middle, height); });
    } catch (const std::exception&) {
        // No second thread to be had: this thread composes both halves.
    }
    const bool firstHalfComposed = ComposeImageRows(composer, images, output, 0, middle);
    if (helper) {
        helper->join();
    } else {
        secondHalfComposed = ComposeImageRows(composer, images, output, middle, height);
    }
    return firstHalfComposed && secondHalfComposed ? 1 : 0;
}

int ComposeDayNight(const std::tm& utc, const DibImage& day, const DibImage& night, DibImage& output,
                    const DibImage& clouds, int darkenedDay, int cloudFactor, double centreLongitude) {
    const int threadCount = ProcessorCount() > 1 ? 2 : 1;
    return ComposeDayNightOnThreads(utc, day, night, output, clouds, darkenedDay, cloudFactor,
                                    centreLongitude, threadCount);
}
