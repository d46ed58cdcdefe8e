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

TwilightShares TwilightSharesOf(double dayWeight) {
    return {static_cast<int>(std::trunc(239.0 * dayWeight + 16.0)),
            static_cast<int>(std::trunc(255.0 * dayWeight))};
}

ColourValue TwilightPixel(double dayWeight, int cloud, ColourValue dayPixel, ColourValue nightPixel) {
    const auto [cloudBrightness, dayShare] = TwilightSharesOf(dayWeight);
    const ColourValue night = CloudOver(nightPixel, cloud, kNightCloudBrightness);
    const ColourValue day = CloudOver(dayPixel, cloud, cloudBrightness);
    int mixed[3];
    for (int index = 0; index < 3; ++index) {
        mixed[index] = Channel(night, index) * (kChannelMax - dayShare) / kChannelMax +
                       Channel(day, index) * dayShare / kChannelMax;
    }
    return PackChannels(mixed[0], mixed[1], mixed[2]);
}
