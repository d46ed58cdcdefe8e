#include "render/frame_composer.h"

#include <cmath>
#include <cstring>
#include <new>

#include "image/pixel_buffer.h"
#include "render/compositor.h"
#include "render/pixel_blend.h"

namespace {

constexpr double kPi = 3.141592653589793;

// Beyond these sines the elevation is certainly above 5 degrees (full day) or below -5 (full
// night), so the arcsine is not needed. The bound is the sine of 5.01 degrees: 1.7e-4 beyond the
// sine of 5 degrees, which is more than a billion times the rounding error of the sine's two
// operations, of any C library's arcsine and of the conversion to degrees. Between the bounds
// the elevation is computed exactly as the reference computes it.
const double kTwilightSineBound = std::sin(5.01 * kPi / 180.0);

std::uint32_t LoadPixel(const std::uint8_t* row, int column) {
    std::uint32_t pixel;
    std::memcpy(&pixel, row + 4 * static_cast<std::size_t>(column), sizeof pixel);
    return pixel;
}

void StorePixel(std::uint8_t* out, int index, std::uint32_t pixel) {
    std::memcpy(out + 4 * static_cast<std::size_t>(index), &pixel, sizeof pixel);
}

}  // namespace

bool FrameComposer::Prepare(const CompositionSettings& settings) {
    width_ = settings.width;
    height_ = settings.height;
    shift_ = ColumnShift(settings.width, settings.centreLongitude);
    nightSide_ = settings.nightSide;
    darkenedDay_ = settings.darkenedDay;
    for (int value = 0; value < 256; ++value) {
        cloudValues_[value] = static_cast<std::uint8_t>(ApplyCloudFactor(value, settings.cloudFactor));
    }
    if (!nightSide_) {
        return true;
    }

    const std::tm& utc = settings.utc;
    const SunAtMoment sun = ComputeSunAtMoment(utc.tm_mday, utc.tm_mon + 1, utc.tm_year + 1900, utc.tm_hour,
                                               utc.tm_min, utc.tm_sec);
    const double width = settings.width;
    const double height = settings.height;
    try {
        cosHourAngles_.resize(static_cast<std::size_t>(settings.width));
        latitudeTerms_.resize(static_cast<std::size_t>(settings.height));
    } catch (const std::bad_alloc&) {
        return false;
    }
    for (int column = 0; column < settings.width; ++column) {
        // The longitude of the column's left edge; column 0 is -180.
        const double longitude = column / width * 360.0 - 180.0;
        cosHourAngles_[static_cast<std::size_t>(column)] = CosHourAngle(HourAngle(sun, longitude));
    }
    for (int row = 0; row < settings.height; ++row) {
        const double latitude = 90.0 - row / height * 180.0;
        latitudeTerms_[static_cast<std::size_t>(row)] =
            LatitudeTermsOf(sun.sinDeclination, sun.cosDeclination, latitude);
    }
    return true;
}

void FrameComposer::ComposeRow(int row, const SourceRows& sources, int firstColumn, int count,
                               std::uint8_t* out) const {
    // With the shift within half the width either way, the map columns of a run of output
    // columns wrap at most once.
    int sourceColumn = firstColumn + shift_;
    if (sourceColumn >= width_) {
        sourceColumn -= width_;
    }
    if (sourceColumn < 0) {
        sourceColumn += width_;
    }
    const int beforeWrap = count < width_ - sourceColumn ? count : width_ - sourceColumn;
    ComposeSpan(row, sources, sourceColumn, beforeWrap, out);
    if (beforeWrap < count) {
        ComposeSpan(row, sources, 0, count - beforeWrap, out + 4 * static_cast<std::size_t>(beforeWrap));
    }
}

void FrameComposer::ComposeSpan(int row, const SourceRows& sources, int sourceColumn, int count,
                                std::uint8_t* out) const {
    const LatitudeTerms terms = nightSide_ ? latitudeTerms_[static_cast<std::size_t>(row)] : LatitudeTerms{};
    for (int index = 0; index < count; ++index) {
        const int column = sourceColumn + index;
        const int cloud =
            sources.clouds != nullptr ? cloudValues_[(LoadPixel(sources.clouds, column) >> 16) & 0xFFu] : 0;
        double dayWeight = 1.0;
        if (nightSide_) {
            const double sine = ElevationSine(terms, cosHourAngles_[static_cast<std::size_t>(column)]);
            if (sine <= -kTwilightSineBound) {
                dayWeight = 0.0;
            } else if (sine < kTwilightSineBound) {
                dayWeight = DayWeight(ElevationOfSine(sine));
            }
        }
        // Each path reads only the pixels it uses.
        std::uint32_t pixel;
        if (dayWeight == 1.0) {
            pixel = StoredCloudOver(LoadPixel(sources.day, column), cloud, kDayCloudBrightness);
        } else {
            const std::uint32_t night = darkenedDay_ ? StoredDarkenedDay(LoadPixel(sources.day, column))
                                                     : LoadPixel(sources.night, column);
            if (dayWeight == 0.0) {
                pixel = StoredCloudOver(night, cloud, kNightCloudBrightness);
            } else {
                pixel = PixelOfColour(TwilightPixel(
                    dayWeight, cloud, ColourOfPixel(LoadPixel(sources.day, column)), ColourOfPixel(night)));
            }
        }
        StorePixel(out, index, pixel);
    }
}
