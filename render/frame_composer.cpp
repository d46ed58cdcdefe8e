#include "render/frame_composer.h"

#include <cstring>
#include <new>

#include "image/pixel_buffer.h"
#include "render/compositor.h"
#include "render/daylight_code.h"
#include "render/four_pixel_blend.h"
#include "render/pixel_blend.h"
#include "render/stored_blend.h"

namespace {

std::uint32_t LoadPixel(const std::uint8_t* row, int column) {
    std::uint32_t pixel;
    std::memcpy(&pixel, row + 4 * static_cast<std::size_t>(column), sizeof pixel);
    return pixel;
}

void StorePixel(std::uint8_t* out, int index, std::uint32_t pixel) {
    std::memcpy(out + 4 * static_cast<std::size_t>(index), &pixel, sizeof pixel);
}

#if defined(ORBISCAPE_FOUR_PIXEL_BLEND)
__m128i LoadFour(const std::uint8_t* row, int column) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 4 * static_cast<std::size_t>(column)));
}

void StoreFour(std::uint8_t* out, int index, __m128i pixels) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * static_cast<std::size_t>(index)), pixels);
}

// StoredDarkenedDay on four pixels.
__m128i DarkenedFour(__m128i dayPixels) {
    return _mm_and_si128(_mm_srli_epi32(dayPixels, 2), _mm_set1_epi32(0x3F3F3F));
}
#endif

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
    // One loop for each combination of sources, so that the inner loop tests none of them.
    const bool clouds = sources.clouds != nullptr;
    if (!nightSide_) {
        clouds ? ComposeSpanOf<true, false, false>(row, sources, sourceColumn, count, out)
               : ComposeSpanOf<false, false, false>(row, sources, sourceColumn, count, out);
    } else if (darkenedDay_) {
        clouds ? ComposeSpanOf<true, true, true>(row, sources, sourceColumn, count, out)
               : ComposeSpanOf<false, true, true>(row, sources, sourceColumn, count, out);
    } else {
        clouds ? ComposeSpanOf<true, true, false>(row, sources, sourceColumn, count, out)
               : ComposeSpanOf<false, true, false>(row, sources, sourceColumn, count, out);
    }
}

template <bool kClouds, bool kNightSide, bool kDarkenedDay>
void FrameComposer::ComposeSpanOf(int row, const SourceRows& sources, int sourceColumn, int count,
                                  std::uint8_t* out) const {
    const LatitudeTerms terms = kNightSide ? latitudeTerms_[static_cast<std::size_t>(row)] : LatitudeTerms{};
    const double* cosHourAngles = kNightSide ? cosHourAngles_.data() : nullptr;
    const DaylightTable& codes = DaylightTable::Shared();
    const auto cloudAt = [&](int column) {
        return kClouds ? cloudValues_[(LoadPixel(sources.clouds, column) >> 16) & 0xFFu] : 0;
    };
    // Where the pixel's day weight puts it, as the reference decides.
    const auto codeAt = [&](int column) {
        const double sine = ElevationSine(terms, cosHourAngles[column]);
        DaylightCode code;
        if (sine >= kTwilightSineBound) {
            code = kDayCode;
        } else if (sine <= -kTwilightSineBound) {
            code = kNightCode;
        } else if (sine > -kTwilightSineBound) {
            code = codes.CodeOfSine(sine);
        } else {
            code = kExactDaylightCode;  // not a number
        }
        return code == kExactDaylightCode ? DaylightCodeOf(DayWeight(ElevationOfSine(sine))) : code;
    };
    // One pixel, as the reference composes it.
    const auto composePixel = [&](int index) {
        const int column = sourceColumn + index;
        const int cloud = cloudAt(column);
        const DaylightCode code = kNightSide ? codeAt(column) : kDayCode;
        // Each path reads only the pixels it uses.
        std::uint32_t pixel;
        if (code == kDayCode) {
            pixel = StoredCloudOver(LoadPixel(sources.day, column), cloud, kDayCloudBrightness);
        } else {
            const std::uint32_t night = kDarkenedDay ? StoredDarkenedDay(LoadPixel(sources.day, column))
                                                     : LoadPixel(sources.night, column);
            pixel = code == kNightCode
                        ? StoredCloudOver(night, cloud, kNightCloudBrightness)
                        : StoredTwilight(SharesOfCode(code), cloud, LoadPixel(sources.day, column), night);
        }
        StorePixel(out, index, pixel);
    };

    int index = 0;
#if defined(ORBISCAPE_FOUR_PIXEL_BLEND)
    // Four pixels at a time: one blend of one side where all four lie outside the twilight band,
    // else the twilight blend with each pixel's shares.
    const auto cloudsAt = [&](int column) {
        return kClouds ? _mm_setr_epi32(cloudAt(column), cloudAt(column + 1), cloudAt(column + 2),
                                        cloudAt(column + 3))
                       : _mm_setzero_si128();
    };
    const __m128d sinTerm = _mm_set1_pd(terms.sinTerm);
    const __m128d cosTerm = _mm_set1_pd(terms.cosTerm);
    const __m128d dayBound = _mm_set1_pd(kTwilightSineBound);
    const __m128d nightBound = _mm_set1_pd(-kTwilightSineBound);
    for (; index + 4 <= count; index += 4) {
        const int column = sourceColumn + index;
        bool day = true;
        if (kNightSide) {
            // The same two operations per sine as ElevationSine, on two sines at a time.
            const __m128d first =
                _mm_add_pd(sinTerm, _mm_mul_pd(cosTerm, _mm_loadu_pd(cosHourAngles + column)));
            const __m128d second =
                _mm_add_pd(sinTerm, _mm_mul_pd(cosTerm, _mm_loadu_pd(cosHourAngles + column + 2)));
            const int days = _mm_movemask_pd(_mm_cmpge_pd(first, dayBound)) |
                             _mm_movemask_pd(_mm_cmpge_pd(second, dayBound)) << 2;
            const int nights = _mm_movemask_pd(_mm_cmple_pd(first, nightBound)) |
                               _mm_movemask_pd(_mm_cmple_pd(second, nightBound)) << 2;
            day = days == 0xF;
            if (!day && nights != 0xF) {
                // The shares of full day and of full night give the day and the night result.
                int brightness[4], share[4];
                for (int pixel = 0; pixel < 4; ++pixel) {
                    const DaylightCode code = codeAt(column + pixel);
                    const TwilightShares shares = code == kDayCode ? TwilightShares{kDayCloudBrightness, 255}
                                                  : code == kNightCode
                                                      ? TwilightShares{kNightCloudBrightness, 0}
                                                      : SharesOfCode(code);
                    brightness[pixel] = shares.cloudBrightness;
                    share[pixel] = shares.dayShare;
                }
                const __m128i dayPixels = LoadFour(sources.day, column);
                const __m128i nightPixels =
                    kDarkenedDay ? DarkenedFour(dayPixels) : LoadFour(sources.night, column);
                StoreFour(
                    out, index,
                    FourTwilight(dayPixels, nightPixels, cloudsAt(column),
                                 _mm_setr_epi32(brightness[0], brightness[1], brightness[2], brightness[3]),
                                 _mm_setr_epi32(share[0], share[1], share[2], share[3])));
                continue;
            }
        }
        const __m128i pixels = day            ? LoadFour(sources.day, column)
                               : kDarkenedDay ? DarkenedFour(LoadFour(sources.day, column))
                                              : LoadFour(sources.night, column);
        StoreFour(
            out, index,
            FourUnderCloud(pixels, cloudsAt(column), day ? kDayCloudBrightness : kNightCloudBrightness));
    }
#endif
    for (; index < count; ++index) {
        composePixel(index);
    }
}
