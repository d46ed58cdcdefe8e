// CloudOver (pixel_blend.h) on four stored 32-bit pixels at once, with SSE2, which every x86-64
// processor has: each channel in a 16-bit lane, the products and the exact division by 255 as
// in stored_blend.h. The results are those of StoredCloudOver, pixel for pixel.
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

}  // namespace four_pixel_blend

// Four pixels, each under its cloud value (clouds: four 32-bit lanes of 0..255), in one cloud
// brightness. The fourth byte of each result is 0.
inline __m128i FourUnderCloud(__m128i pixels, __m128i clouds, int cloudBrightness) {
    using namespace four_pixel_blend;
    const __m128i zero = _mm_setzero_si128();
    // Each pixel's cloud value in the four 16-bit lanes of its channels.
    const __m128i twice = _mm_or_si128(clouds, _mm_slli_epi32(clouds, 16));
    const __m128i brightness = _mm_set1_epi16(static_cast<short>(cloudBrightness));
    const __m128i low =
        ChannelsUnderCloud(_mm_unpacklo_epi8(pixels, zero), _mm_unpacklo_epi32(twice, twice), brightness);
    const __m128i high =
        ChannelsUnderCloud(_mm_unpackhi_epi8(pixels, zero), _mm_unpackhi_epi32(twice, twice), brightness);
    return _mm_and_si128(_mm_packus_epi16(low, high), _mm_set1_epi32(0x00FFFFFF));
}

#endif
