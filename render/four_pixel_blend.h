// CloudOver and the twilight blend (pixel_blend.h) on four stored 32-bit pixels at once, with
// SSE2, which every x86-64 processor has: each channel in a 16-bit lane, the products and the
// exact division by 255 as in stored_blend.h. The results are those of StoredCloudOver and
// StoredTwilight, pixel for pixel.
#pragma once

#if defined(__SSE2__)
#include <emmintrin.h>

#include <cstdint>

#define ORBISCAPE_FOUR_PIXEL_BLEND 1

namespace four_pixel_blend {

// x / 255 in every 16-bit lane, for lanes up to 255 x 255.
inline __m128i DivideBy255(__m128i lanes) {
    const __m128i sum = _mm_add_epi16(_mm_add_epi16(lanes, _mm_set1_epi16(1)), _mm_srli_epi16(lanes, 8));
    return _mm_srli_epi16(sum, 8);
}

// Two pixels' channels (8 lanes) under their clouds.
inline __m128i ChannelsUnderCloud(__m128i channels, __m128i cloud, __m128i cloudBrightness) {
    const __m128i kept = DivideBy255(_mm_mullo_epi16(channels, _mm_sub_epi16(_mm_set1_epi16(255), cloud)));
    return _mm_add_epi16(kept, DivideBy255(_mm_mullo_epi16(cloud, cloudBrightness)));
}

// Four per-pixel values (32-bit lanes of 0..255), each in the four 16-bit lanes of its pixel's
// channels: the first two pixels' in `low`, the last two's in `high`.
struct PerChannel {
    __m128i low;
    __m128i high;
};

inline PerChannel PerChannelOf(__m128i values) {
    const __m128i twice = _mm_or_si128(values, _mm_slli_epi32(values, 16));
    return {_mm_unpacklo_epi32(twice, twice), _mm_unpackhi_epi32(twice, twice)};
}

inline PerChannel ChannelsOf(__m128i pixels) {
    const __m128i zero = _mm_setzero_si128();
    return {_mm_unpacklo_epi8(pixels, zero), _mm_unpackhi_epi8(pixels, zero)};
}

inline __m128i PixelsOf(__m128i low, __m128i high) {
    return _mm_and_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(0x00FFFFFF));
}

// The twilight mix of two pixels' channels under their clouds: night share 255 - dayShare.
inline __m128i Mixed(__m128i night, __m128i day, __m128i dayShare) {
    return _mm_add_epi16(DivideBy255(_mm_mullo_epi16(night, _mm_sub_epi16(_mm_set1_epi16(255), dayShare))),
                         DivideBy255(_mm_mullo_epi16(day, dayShare)));
}

}  // namespace four_pixel_blend

// Four pixels, each under its cloud value (clouds: four 32-bit lanes of 0..255), in one cloud
// brightness. The fourth byte of each result is 0.
inline __m128i FourUnderCloud(__m128i pixels, __m128i clouds, int cloudBrightness) {
    using namespace four_pixel_blend;
    const PerChannel cloud = PerChannelOf(clouds);
    const PerChannel channels = ChannelsOf(pixels);
    const __m128i brightness = _mm_set1_epi16(static_cast<short>(cloudBrightness));
    return PixelsOf(ChannelsUnderCloud(channels.low, cloud.low, brightness),
                    ChannelsUnderCloud(channels.high, cloud.high, brightness));
}

// Four pixels of the twilight blend, each with its own cloud, cloud brightness over the day pixel
// and day share (32-bit lanes). A day share of 255 with a brightness of 255 gives the day
// pixel's result and a day share of 0 the night pixel's, so any mix of day, night and twilight
// pixels can go this way.
inline __m128i FourTwilight(__m128i dayPixels, __m128i nightPixels, __m128i clouds, __m128i cloudBrightness,
                            __m128i dayShares) {
    using namespace four_pixel_blend;
    const PerChannel cloud = PerChannelOf(clouds);
    const PerChannel brightness = PerChannelOf(cloudBrightness);
    const PerChannel share = PerChannelOf(dayShares);
    const PerChannel day = ChannelsOf(dayPixels);
    const PerChannel night = ChannelsOf(nightPixels);
    const __m128i nightBrightness = _mm_set1_epi16(16);
    const __m128i low = Mixed(ChannelsUnderCloud(night.low, cloud.low, nightBrightness),
                              ChannelsUnderCloud(day.low, cloud.low, brightness.low), share.low);
    const __m128i high = Mixed(ChannelsUnderCloud(night.high, cloud.high, nightBrightness),
                               ChannelsUnderCloud(day.high, cloud.high, brightness.high), share.high);
    return PixelsOf(low, high);
}

#endif
