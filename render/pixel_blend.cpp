#include "render/pixel_blend.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kChannelMax = 255;

int Channel(ColourValue colour, int index) {
    return static_cast<int>((colour >> (8 * index)) & 0xFFu);
}

ColourValue PackChannels(int red, int green, int blue) {
    return static_cast<ColourValue>(red) | (static_cast<ColourValue>(green) << 8) |
           (static_cast<ColourValue>(blue) << 16);
}

// Each term is truncated on its own, as the 8-bit channel arithmetic requires.
int CloudOverChannel(int value, int cloud, int cloudBrightness) {
    if (cloud == 0) {
        return value;
    }
    return value * (kChannelMax - cloud) / kChannelMax + cloudBrightness * cloud / kChannelMax;
}

}  // namespace

double DayWeight(double elevation) {
    if (elevation >= -5.0 && elevation <= 5.0) {
        return (elevation + 5.0) / 10.0;
    }
    if (elevation > 5.0) {
        return 1.0;
    }
    return 0.0;
}

int ApplyCloudFactor(int cloudValue, int cloudFactor) {
    if (cloudFactor == 0) {
        return cloudValue;
    }
    // 64-bit intermediates: the factor comes from the registry and can hold any 32-bit value;
    // within the slider's range the result is that of 32-bit arithmetic.
    const std::int64_t thinned =
        cloudValue - (static_cast<std::int64_t>(kChannelMax - cloudValue) * cloudFactor / 100);
    return static_cast<int>(std::clamp<std::int64_t>(thinned, 0, kChannelMax));
}

int CloudValueOf(ColourValue cloudPixel) {
    return Channel(cloudPixel, 0);
}

ColourValue DarkenedDayPixel(ColourValue dayPixel) {
    return PackChannels(Channel(dayPixel, 0) >> 2, Channel(dayPixel, 1) >> 2, Channel(dayPixel, 2) >> 2);
}

ColourValue CloudOver(ColourValue pixel, int cloud, int cloudBrightness) {
    return PackChannels(CloudOverChannel(Channel(pixel, 0), cloud, cloudBrightness),
                        CloudOverChannel(Channel(pixel, 1), cloud, cloudBrightness),
                        CloudOverChannel(Channel(pixel, 2), cloud, cloudBrightness));
}

ColourValue TwilightPixel(double dayWeight, int cloud, ColourValue dayPixel, ColourValue nightPixel) {
    // Clouds brighten from night grey to nearly white across the band.
    const int cloudBrightness = static_cast<int>(std::trunc(239.0 * dayWeight + 16.0));
    const int dayShare = static_cast<int>(std::trunc(255.0 * dayWeight));
    const ColourValue night = CloudOver(nightPixel, cloud, kNightCloudBrightness);
    const ColourValue day = CloudOver(dayPixel, cloud, cloudBrightness);
    int mixed[3];
    for (int index = 0; index < 3; ++index) {
        mixed[index] = Channel(night, index) * (kChannelMax - dayShare) / kChannelMax +
                       Channel(day, index) * dayShare / kChannelMax;
    }
    return PackChannels(mixed[0], mixed[1], mixed[2]);
}

namespace {

constexpr std::uint64_t kLaneOnes = 0x000100010001u;   // 1 in each of the three 16-bit lanes
constexpr std::uint64_t kLaneBytes = 0x00FF00FF00FFu;  // the low byte of each lane

std::uint64_t SpreadIntoLanes(std::uint32_t pixel) {
    return (pixel & 0xFFu) | (std::uint64_t{pixel & 0xFF00u} << 8) | (std::uint64_t{pixel & 0xFF0000u} << 16);
}

std::uint32_t GatherFromLanes(std::uint64_t lanes) {
    return static_cast<std::uint32_t>((lanes & 0xFFu) | ((lanes >> 8) & 0xFF00u) |
                                      ((lanes >> 16) & 0xFF0000u));
}

// x / 255 in every lane, for lanes up to 255 x 255: (x + 1 + (x >> 8)) >> 8 is exact there (checked
// for every such x by the tests), and the sum stays below 2^16, inside its lane.
std::uint64_t DivideLanesBy255(std::uint64_t lanes) {
    return ((lanes + kLaneOnes + ((lanes >> 8) & kLaneBytes)) >> 8) & kLaneBytes;
}

}  // namespace

std::uint32_t StoredCloudOver(std::uint32_t pixel, int cloud, int cloudBrightness) {
    if (cloud == 0) {
        return pixel & 0xFFFFFFu;
    }
    const std::uint64_t kept =
        DivideLanesBy255(SpreadIntoLanes(pixel) * static_cast<std::uint64_t>(kChannelMax - cloud));
    const auto cloudTerm = static_cast<std::uint64_t>(cloudBrightness * cloud / kChannelMax);
    return GatherFromLanes(kept + cloudTerm * kLaneOnes);
}

std::uint32_t StoredDarkenedDay(std::uint32_t pixel) {
    return (pixel >> 2) & 0x3F3F3Fu;
}
