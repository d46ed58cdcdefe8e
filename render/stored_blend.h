// The compositor's blends (pixel_blend.h) on stored 32-bit pixels, for its inner loop: blue in
// bits 0-7, green 8-15, red 16-23; the fourth byte is ignored and comes out 0. The results are
// exactly those of CloudOver, DarkenedDayPixel and TwilightPixel. The three channels travel in
// 16-bit lanes of one 64-bit word, where no product of a channel and a weight (at most
// 255 x 255) can reach the next lane, and each lane is divided by 255 exactly.
#pragma once

#include <cstdint>

#include "render/pixel_blend.h"

namespace stored_blend {

constexpr std::uint64_t kLaneOnes = 0x000100010001u;   // 1 in each of the three 16-bit lanes
constexpr std::uint64_t kLaneBytes = 0x00FF00FF00FFu;  // the low byte of each lane

inline std::uint64_t SpreadIntoLanes(std::uint32_t pixel) {
    return (pixel & 0xFFu) | (std::uint64_t{pixel & 0xFF00u} << 8) | (std::uint64_t{pixel & 0xFF0000u} << 16);
}

inline std::uint32_t GatherFromLanes(std::uint64_t lanes) {
    return static_cast<std::uint32_t>((lanes & 0xFFu) | ((lanes >> 8) & 0xFF00u) |
                                      ((lanes >> 16) & 0xFF0000u));
}

// x / 255 in every lane, for lanes up to 255 x 255: (x + 1 + (x >> 8)) >> 8 is exact there (the
// tests check every product that occurs), and the sum stays below 2^16, inside its lane.
inline std::uint64_t DivideLanesBy255(std::uint64_t lanes) {
    return ((lanes + kLaneOnes + ((lanes >> 8) & kLaneBytes)) >> 8) & kLaneBytes;
}

// CloudOver in lanes.
inline std::uint64_t LanesUnderCloud(std::uint32_t pixel, int cloud, int cloudBrightness) {
    const std::uint64_t lanes = SpreadIntoLanes(pixel);
    if (cloud == 0) {
        return lanes;
    }
    const std::uint64_t kept = DivideLanesBy255(lanes * static_cast<std::uint64_t>(255 - cloud));
    const auto cloudTerm = static_cast<std::uint64_t>(cloudBrightness * cloud / 255);
    return kept + cloudTerm * kLaneOnes;
}

}  // namespace stored_blend

inline std::uint32_t StoredCloudOver(std::uint32_t pixel, int cloud, int cloudBrightness) {
    if (cloud == 0) {
        return pixel & 0xFFFFFFu;
    }
    return stored_blend::GatherFromLanes(stored_blend::LanesUnderCloud(pixel, cloud, cloudBrightness));
}

inline std::uint32_t StoredDarkenedDay(std::uint32_t pixel) {
    return (pixel >> 2) & 0x3F3F3Fu;
}

inline std::uint32_t StoredTwilight(const TwilightShares& shares, int cloud, std::uint32_t dayPixel,
                                    std::uint32_t nightPixel) {
    using namespace stored_blend;
    const std::uint64_t night = LanesUnderCloud(nightPixel, cloud, kNightCloudBrightness);
    const std::uint64_t day = LanesUnderCloud(dayPixel, cloud, shares.cloudBrightness);
    return GatherFromLanes(DivideLanesBy255(night * static_cast<std::uint64_t>(255 - shares.dayShare)) +
                           DivideLanesBy255(day * static_cast<std::uint64_t>(shares.dayShare)));
}
